// Fuzz target for the expression compiler and evaluator: any byte string is compiled against a
// few bound names of every type; whatever compiles is evaluated and analysed. A crash, a
// sanitizer report or a hang is a fault; an error Status is the expected answer to garbage.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/expr/bound_names.h"
#include "runtime/expr/expression.h"

namespace {

struct Fixture {
  char text[24];
  char cstr[12];
  unsigned char packed[5];
  int32_t long_value = 80000;
  int16_t short_value = -3;
  uint8_t byte_value = 1;
  double real_value = 2.5;
  std::string memo = "a memo's text";
  tdx::BoundNames names;

  Fixture() {
    std::string_view t = "B1'X                    ";
    for (size_t i = 0; i < sizeof text; ++i) text[i] = t[i];
    std::string_view c = "abc";
    for (size_t i = 0; i < sizeof cstr; ++i) cstr[i] = i < c.size() ? c[i] : 0;
    (void)tdx::Decimal::Parse("-123.45")->Pack(9, 2, packed);
    (void)names.bind("PRO:BID_ID", tdx::VarRef::String(text, sizeof text));
    (void)names.bind("LOC:C", tdx::VarRef::CString(cstr, sizeof cstr));
    (void)names.bind("PRO:PRICE", tdx::VarRef::Packed(packed, 9, 2));
    (void)names.bind("HEA:DATE", tdx::VarRef::Long(&long_value));
    (void)names.bind("S", tdx::VarRef::Short(&short_value));
    (void)names.bind("B", tdx::VarRef::Byte(&byte_value));
    (void)names.bind("R", tdx::VarRef::Real(&real_value));
    (void)names.bind("M", tdx::VarRef::Memo(&memo, 20));
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Fixture* f = new Fixture();
  std::string_view text(reinterpret_cast<const char*>(data), size);
  tdx::Result<tdx::Expression> e = tdx::Expression::Compile(text, f->names);
  if (!e.ok()) {
    if (e.status().text().empty()) __builtin_trap();  // an error must say what is wrong
    return 0;
  }
  (void)e->test();
  (void)e->value();
  tdx::Expression::Classifier classify = [](const tdx::VarRef& r) {
    return r.type == tdx::FieldType::String || r.type == tdx::FieldType::Memo ? 0 : -1;
  };
  for (const tdx::Expression::Term& t : e->terms(classify)) {
    (void)e->test_term(t.node);
    for (const tdx::Expression::Pin& p : t.pins) {
      if (p.group >= 0) (void)e->value_of(p.other);
    }
  }
  return 0;
}
