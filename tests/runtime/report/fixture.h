// Small helpers shared by the report engine tests: variables to bind, page inspection.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "runtime/report/engine.h"
#include "runtime/report/fonts.h"
#include "runtime/report/layout.h"

namespace tdx::report::testing {

// Variables a test layout binds by name: texts (STRING 80) and numbers (REAL).
struct Vars {
  std::map<std::string, std::unique_ptr<char[]>> texts;
  std::map<std::string, std::unique_ptr<double>> numbers;
  void text(const std::string& name, const std::string& v) {
    auto& p = texts[name];
    if (!p) p.reset(new char[80]);
    std::memset(p.get(), ' ', 80);
    std::memcpy(p.get(), v.data(), std::min<size_t>(v.size(), 80));
  }
  void number(const std::string& name, double v) {
    auto& p = numbers[name];
    if (!p) p.reset(new double);
    *p = v;
  }
  VarResolver resolver() {
    return [this](std::string_view name) -> VarRef {
      std::string n(name);
      if (auto it = texts.find(n); it != texts.end()) return VarRef::String(it->second.get(), 80);
      if (auto it = numbers.find(n); it != numbers.end()) return VarRef::Real(it->second.get());
      return VarRef();
    };
  }
};

inline Layout must_parse(std::string_view text) {
  auto l = parse_layout(text, "test.layout");
  EXPECT_TRUE(l.ok()) << l.status().ToString();
  return l.ok() ? *l : Layout();
}

inline std::unique_ptr<Report> must_open(const Layout& l, Vars& v) {
  auto r = Report::Open(l, v.resolver());
  EXPECT_TRUE(r.ok()) << r.status().ToString();
  return r.ok() ? std::move(*r) : nullptr;
}

inline std::vector<const TextRun*> texts(const Page& p) {
  std::vector<const TextRun*> out;
  for (const auto& it : p.items)
    if (auto* t = std::get_if<TextRun>(&it)) out.push_back(t);
  return out;
}

inline const TextRun* find_text(const Page& p, std::string_view s) {
  for (const auto& it : p.items)
    if (auto* t = std::get_if<TextRun>(&it); t && t->text == s) return t;
  return nullptr;
}

// Top edge of a text run (runs are placed by their baseline).
inline int top_of(const TextRun& t) { return t.y - font_ascent(t.font); }

}  // namespace tdx::report::testing
