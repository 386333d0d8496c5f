#include "runtime/view/view.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cstring>
#include <optional>

#include "runtime/expr/expression.h"
#include "runtime/store/errors.h"
#include "runtime/text/str.h"
#include "runtime/view/row_codec.h"
#include "runtime/view/sorter.h"

namespace tdx::view {

using store::FieldDecl;
using store::KeyDecl;
using store::KeyedFile;

namespace {

Status view_error(int code, const std::string& text) { return Status(code, text); }

// The index of a field of `file` named by a text name with the file's prefix ("PRO:BID_ID"), or
// -1 (another file's prefix, or no such field).
int field_of(const KeyedFile& file, std::string_view text_name) {
  size_t colon = text_name.find(':');
  if (colon == std::string_view::npos) return -1;
  if (!equals_nocase(text_name.substr(0, colon), file.decl().prefix)) return -1;
  return file.decl().find_field(text_name.substr(colon + 1));
}

// Compares component field f of two record images the way the key orders them.
int compare_field(const FieldDecl& f, const unsigned char* a, const unsigned char* b,
                  bool nocase) {
  const char* pa = reinterpret_cast<const char*>(a + f.offset);
  const char* pb = reinterpret_cast<const char*>(b + f.offset);
  switch (f.type) {
    case FieldType::String:
    case FieldType::CString: {
      std::string_view x(pa, f.size), y(pb, f.size);
      if (f.type == FieldType::CString) {
        x = cstring_view(pa, f.size);
        y = cstring_view(pb, f.size);
      }
      return nocase ? compare_clipped_nocase(x, y) : compare_clipped(x, y);
    }
    case FieldType::Real: {
      double x, y;
      std::memcpy(&x, pa, 8);
      std::memcpy(&y, pb, 8);
      return x < y ? -1 : (x > y ? 1 : 0);
    }
    case FieldType::Long: {
      int32_t x, y;
      std::memcpy(&x, pa, 4);
      std::memcpy(&y, pb, 4);
      return x < y ? -1 : (x > y ? 1 : 0);
    }
    case FieldType::Short: {
      int16_t x, y;
      std::memcpy(&x, pa, 2);
      std::memcpy(&y, pb, 2);
      return x < y ? -1 : (x > y ? 1 : 0);
    }
    case FieldType::Byte:
      return a[f.offset] < b[f.offset] ? -1 : (a[f.offset] > b[f.offset] ? 1 : 0);
    default: {
      VarRef ra{f.type, const_cast<unsigned char*>(a + f.offset), f.size, f.digits, f.places};
      VarRef rb{f.type, const_cast<unsigned char*>(b + f.offset), f.size, f.digits, f.places};
      return Decimal::Compare(ra.get().number(), rb.get().number());
    }
  }
}

// Writes the lowest (or highest) value a key can hold into field f of rec.
void set_extreme(const FieldDecl& f, unsigned char* rec, bool high, bool nocase) {
  unsigned char* p = rec + f.offset;
  switch (f.type) {
    case FieldType::String:
      // Blank is the lowest text. Upper-cased keys hold no byte above 0xF7 (÷).
      std::memset(p, high ? (nocase ? 0xF7 : 0xFF) : ' ', f.size);
      return;
    case FieldType::CString:
      std::memset(p, high ? (nocase ? 0xF7 : 0xFF) : 0, f.size);
      if (f.size) p[f.size - 1] = 0;
      return;
    case FieldType::Real: {
      double v = high ? DBL_MAX : -DBL_MAX;
      std::memcpy(p, &v, 8);
      return;
    }
    case FieldType::Long: {
      int32_t v = high ? INT32_MAX : INT32_MIN;
      std::memcpy(p, &v, 4);
      return;
    }
    case FieldType::Short: {
      int16_t v = high ? INT16_MAX : INT16_MIN;
      std::memcpy(p, &v, 2);
      return;
    }
    case FieldType::Byte:
      *p = high ? 0xFF : 0;
      return;
    case FieldType::Decimal: {
      Decimal::Int m = 0;
      for (int i = 0; i < f.digits; ++i) m = m * 10 + 9;
      (void)Decimal::FromParts(high ? m : -m, f.places).Pack(f.digits, f.places, p);
      return;
    }
    case FieldType::Memo:
      return;
  }
}

bool is_text_type(FieldType t) {
  return t == FieldType::String || t == FieldType::CString || t == FieldType::Memo;
}

// A pinned key component: which component, and where its value comes from.
struct PinSource {
  int component = 0;      // position in the key
  int expr_node = -1;     // node of the filter / condition giving the value
  VarRef from;            // or the parent's variable (joins by key)
};

struct Node {
  KeyedFile* file = nullptr;
  int parent = -1;
  std::vector<int> children;
  std::vector<int> ancestors;  // every ancestor, nearest first
  // declaration
  bool by_key = false;
  std::string key_name;
  std::vector<std::string> from;
  std::string condition;
  Join kind = Join::Outer;
  Cardinality card = Cardinality::Auto;
  // plan
  std::optional<Expression> cond;
  int key = -1;
  int pinned = 0;
  bool nocase = false;
  bool to_one = false;
  bool use_get = false;
  std::vector<PinSource> pins;
  std::vector<unsigned char> bound;  // record image holding the pinned values
};

struct OrderComponent {
  VarRef ref;
  int group = -1;
  bool descending = false;
  int field = -1;  // field index in its file (when group >= 0)
};

enum class State { Closed, Before, In, AtEnd, AtStart };

}  // namespace

struct View::Impl {
  BoundNames& names;
  std::vector<Node> nodes;  // 0 = primary
  std::string order_text;
  std::string order_key;
  bool key_backward = false;
  bool stored_order = true;
  std::string filter_text;
  size_t sort_memory = 64u << 20;
  Status decl_error;

  // open state
  State state = State::Closed;
  Plan plan;
  std::optional<Expression> filter;
  std::vector<int> pre_terms, rest_terms;
  std::vector<OrderComponent> order;
  RowCodec codec;
  bool has_joins = false;
  // streaming
  std::vector<std::string> rows;  // images of the joined files, one per row
  size_t row = 0;
  bool reread_last = false;  // the next primary read re-reads the last record read
  store::Position last_read{};
  // sorted
  std::unique_ptr<Sorter> sorter;
  uint64_t reads = 0;
  std::vector<unsigned char> saved_rec;
  // scratch
  std::string key_scratch, image_scratch;

  explicit Impl(BoundNames& n) : names(n) {}

  KeyedFile& primary() { return *nodes[0].file; }
  int classify(const VarRef& r) const;
  Status compile_filter();
  Status compile_order();
  Status plan_joins();
  Status plan_primary();
  Status choose_pins(Node& n, int group, const Expression& e, uint64_t allowed_groups,
                     bool prefer_exact);
  std::vector<PinSource> key_pins(KeyedFile& f, int group, const KeyDecl& key,
                                  const Expression& e, const std::vector<Expression::Term>& terms,
                                  uint64_t allowed);
  Status compute_bound(Node& n);
  Status start_range(Node& n, bool backward);
  Status read_matches(int n, std::vector<std::vector<int>>* out, bool* ok,
                      std::vector<std::string>* copies);
  Status expand(int n, std::vector<std::vector<int>>* out, bool* ok,
                std::vector<std::string>* copies);
  Status read_primary(bool forward, bool* got);
  int range_check(KeyedFile& f, const Node& n) const;
  void load_row(size_t i);
  bool rest_passes() const;
  Status step(bool forward);
  Status fill_sorter();
  void encode_sort_key(std::string* out);
};

int View::Impl::classify(const VarRef& r) const {
  for (size_t g = 0; g < nodes.size(); ++g) {
    KeyedFile& f = *nodes[g].file;
    const unsigned char* lo = f.record();
    if (r.ptr >= lo && r.ptr < lo + f.record_size()) return static_cast<int>(g);
    for (size_t m = 0; m < f.decl().memos.size(); ++m) {
      if (r.ptr == &f.memo(m)) return static_cast<int>(g);
    }
  }
  return -1;
}

// ---------------------------------------------------------------------------------------------
// Planning

// The filter's or condition's pins on the leading components of `key` of file f (group):
// equalities with a value that reads nothing outside `allowed`, usable with the key (a folded
// comparison only on a NOCASE key; a text field only against a text).
std::vector<PinSource> View::Impl::key_pins(KeyedFile& f, int group, const KeyDecl& key,
                                            const Expression& e,
                                            const std::vector<Expression::Term>& terms,
                                            uint64_t allowed) {
  std::vector<PinSource> pins;
  for (size_t c = 0; c < key.components.size(); ++c) {
    VarRef field = f.field(static_cast<size_t>(key.components[c]));
    bool found = false;
    for (const Expression::Term& t : terms) {
      for (const Expression::Pin& p : t.pins) {
        if (p.group != group || p.field.ptr != field.ptr) continue;
        uint64_t other = t.groups & ~(uint64_t{1} << group);
        if ((other & ~allowed) != 0) continue;
        if (p.folds_case && !key.nocase()) continue;
        if (is_text_type(field.type) && !e.value_of(p.other).is_text()) continue;
        pins.push_back(PinSource{static_cast<int>(c), p.other, VarRef{}});
        found = true;
        break;
      }
      if (found) break;
    }
    if (!found) break;
  }
  return pins;
}

Status View::Impl::choose_pins(Node& n, int group, const Expression& e, uint64_t allowed,
                               bool prefer_exact) {
  auto classify_fn = [this](const VarRef& r) { return classify(r); };
  std::vector<Expression::Term> terms = e.terms(classify_fn);
  const store::FileDecl& d = n.file->decl();
  int best_key = -1, best_p = 0;
  bool best_exact = false;
  std::vector<PinSource> best_pins;
  for (size_t k = 0; k < d.keys.size(); ++k) {
    const KeyDecl& key = d.keys[k];
    if (key.opt()) continue;  // records with blank components are not in it
    std::vector<PinSource> pins = key_pins(*n.file, group, key, e, terms, allowed);
    int p = static_cast<int>(pins.size());
    bool exact = p == static_cast<int>(key.components.size());
    if (p > best_p || (p == best_p && p > 0 && prefer_exact && exact && !best_exact)) {
      best_key = static_cast<int>(k);
      best_p = p;
      best_exact = exact;
      best_pins = std::move(pins);
    }
  }
  if (best_key >= 0) {
    n.key = best_key;
    n.pinned = best_p;
    n.pins = std::move(best_pins);
    n.nocase = d.keys[best_key].nocase();
  }
  return Status::Ok();
}

Status View::Impl::plan_joins() {
  has_joins = nodes.size() > 1;
  for (size_t i = 1; i < nodes.size(); ++i) {
    Node& n = nodes[i];
    Node& parent = nodes[n.parent];
    n.key = -1;
    n.pinned = 0;
    n.pins.clear();
    n.cond.reset();
    const store::FileDecl& d = n.file->decl();
    if (n.by_key) {
      n.key = d.find_key(n.key_name);
      if (n.key < 0) {
        return view_error(store::kInvalidDeclaration,
                          "View join: " + d.label + " has no key \"" + n.key_name + "\"");
      }
      const KeyDecl& key = d.keys[n.key];
      n.nocase = key.nocase();
      std::vector<std::string> from = n.from;
      if (from.empty()) {
        for (int c : key.components) {
          std::string name = parent.file->decl().prefix + ":" + d.fields[c].name;
          if (field_of(*parent.file, name) < 0) break;
          from.push_back(name);
        }
      }
      if (from.empty() || from.size() > key.components.size()) {
        return view_error(store::kInvalidDeclaration,
                          "View join: no parent fields for key \"" + n.key_name + "\" of " +
                              d.label);
      }
      for (size_t c = 0; c < from.size(); ++c) {
        VarRef ref;
        int f = field_of(*parent.file, from[c]);
        if (f >= 0) {
          ref = parent.file->field(static_cast<size_t>(f));
        } else if (const BoundName* b = names.find(from[c])) {
          ref = b->ref;
        } else {
          return view_error(kExprUnknownName,
                            "View join: \"" + from[c] + "\" is not a field of " +
                                parent.file->decl().label + " nor a bound name");
        }
        n.pins.push_back(PinSource{static_cast<int>(c), -1, ref});
      }
      n.pinned = static_cast<int>(from.size());
      bool full = n.pinned == static_cast<int>(key.components.size());
      n.use_get = full && key.unique() && !key.opt();
      n.to_one = n.card == Cardinality::ToOne ||
                 (n.card == Cardinality::Auto && full && key.unique());
    } else {
      Result<Expression> e = Expression::Compile(n.condition, names);
      if (!e.ok()) return e.status();
      n.cond = std::move(*e);
      uint64_t allowed = 0;
      for (int a : n.ancestors) allowed |= uint64_t{1} << a;
      Status s = choose_pins(n, static_cast<int>(i), *n.cond, allowed, false);
      if (!s.ok()) return s;
      n.nocase = n.key >= 0 && d.keys[n.key].nocase();
      n.use_get = n.key >= 0 && n.pinned == static_cast<int>(d.keys[n.key].components.size()) &&
                  d.keys[n.key].unique();
      n.to_one = n.card == Cardinality::ToOne;
    }
  }
  return Status::Ok();
}

Status View::Impl::compile_filter() {
  filter.reset();
  pre_terms.clear();
  rest_terms.clear();
  Result<Expression> e = Expression::Compile(filter_text, names);
  if (!e.ok()) return e.status();
  filter = std::move(*e);
  auto classify_fn = [this](const VarRef& r) { return classify(r); };
  for (const Expression::Term& t : filter->terms(classify_fn)) {
    if ((t.groups & ~uint64_t{1}) == 0) {
      pre_terms.push_back(t.node);
    } else {
      rest_terms.push_back(t.node);
    }
  }
  plan.prefilter_terms = static_cast<int>(pre_terms.size());
  return Status::Ok();
}

Status View::Impl::compile_order() {
  order.clear();
  std::string_view text = order_text;
  size_t pos = 0;
  while (pos <= text.size() && !clip(text).empty()) {
    size_t comma = text.find(',', pos);
    if (comma == std::string_view::npos) comma = text.size();
    std::string_view item = text.substr(pos, comma - pos);
    while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
    item = clip(item);
    OrderComponent c;
    if (!item.empty() && (item.front() == '+' || item.front() == '-')) {
      c.descending = item.front() == '-';
      item.remove_prefix(1);
      while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
    }
    if (item.empty()) {
      return view_error(kExprSyntax, "Bad order \"" + order_text + "\" at " +
                                         std::to_string(pos + 1) + ": a name is missing");
    }
    for (size_t g = 0; g < nodes.size() && c.group < 0; ++g) {
      int f = field_of(*nodes[g].file, item);
      if (f >= 0) {
        c.group = static_cast<int>(g);
        c.field = f;
        c.ref = nodes[g].file->field(static_cast<size_t>(f));
      }
    }
    if (c.group < 0) {
      const BoundName* b = names.find(item);
      if (b == nullptr) {
        return view_error(kExprUnknownName, "Bad order \"" + order_text + "\" at " +
                                                std::to_string(pos + 1) + ": \"" +
                                                std::string(item) +
                                                "\" is not a field of the view nor a bound name");
      }
      c.ref = b->ref;
      c.group = classify(b->ref);
    }
    order.push_back(c);
    if (comma >= text.size()) break;
    pos = comma + 1;
  }
  return Status::Ok();
}

Status View::Impl::plan_primary() {
  Node& n = nodes[0];
  KeyedFile& f = primary();
  const store::FileDecl& d = f.decl();
  n.key = -1;
  n.pinned = 0;
  n.pins.clear();
  plan = Plan{static_cast<int>(-1), 0, false, false, plan.prefilter_terms};

  if (!order_key.empty()) {
    // An explicit key order: that key, narrowed by the filter's pins on its leading components.
    int k = d.find_key(order_key);
    if (k < 0) {
      return view_error(store::kInvalidDeclaration,
                        "View: " + d.label + " has no key \"" + order_key + "\"");
    }
    n.key = k;
    n.nocase = d.keys[k].nocase();
    if (filter) {
      auto classify_fn = [this](const VarRef& r) { return classify(r); };
      std::vector<Expression::Term> terms = filter->terms(classify_fn);
      n.pins = key_pins(f, 0, d.keys[k], *filter, terms, 0);
      n.pinned = static_cast<int>(n.pins.size());
    }
    plan.key = k;
    plan.pinned = n.pinned;
    plan.backward = key_backward;
    return Status::Ok();
  }

  if (order.empty()) return Status::Ok();  // stored order: read the file as added

  // An order text: find a key that gives the order, after the pinned components.
  Node probe;
  probe.file = &f;
  if (filter) {
    Status s = choose_pins(probe, 0, *filter, 0, true);
    if (!s.ok()) return s;
  }
  bool all_primary = std::all_of(order.begin(), order.end(),
                                 [](const OrderComponent& c) { return c.group == 0; });
  bool same_direction = std::all_of(order.begin(), order.end(), [&](const OrderComponent& c) {
    return c.descending == order[0].descending;
  });
  if (all_primary && same_direction) {
    // For each key: how many leading components the filter pins (for this key), then whether
    // the order components (minus pinned ones) continue the key.
    auto classify_fn = [this](const VarRef& r) { return classify(r); };
    std::vector<Expression::Term> terms;
    if (filter) terms = filter->terms(classify_fn);
    int best = -1, best_pinned = 0;
    bool best_exact = false;
    std::vector<PinSource> best_pins;
    for (size_t k = 0; k < d.keys.size(); ++k) {
      const KeyDecl& key = d.keys[k];
      if (key.opt()) continue;
      // Strings order without regard to case: a case-sensitive key orders them differently.
      bool has_text = false;
      for (const OrderComponent& c : order) has_text |= is_text_type(c.ref.type);
      if (has_text && !key.nocase()) continue;
      std::vector<PinSource> pins;
      if (filter) pins = key_pins(f, 0, key, *filter, terms, 0);
      // Order components that are pinned are constant in the range: drop them.
      std::vector<int> rest;
      for (const OrderComponent& c : order) {
        bool pinned = false;
        for (const PinSource& p : pins) {
          pinned |= key.components[p.component] == c.field;
        }
        if (!pinned) rest.push_back(c.field);
      }
      size_t p = pins.size();
      if (p + rest.size() > key.components.size()) continue;
      bool continues = true;
      for (size_t j = 0; j < rest.size(); ++j) {
        continues &= key.components[p + j] == rest[j];
      }
      if (!continues) continue;
      bool exact = p + rest.size() == key.components.size();
      if (best < 0 || (exact && !best_exact) ||
          (exact == best_exact && static_cast<int>(p) > best_pinned)) {
        best = static_cast<int>(k);
        best_pinned = static_cast<int>(p);
        best_exact = exact;
        best_pins = std::move(pins);
      }
    }
    if (best >= 0) {
      n.key = best;
      n.pinned = best_pinned;
      n.pins = std::move(best_pins);
      n.nocase = d.keys[best].nocase();
      plan.key = best;
      plan.pinned = best_pinned;
      plan.backward = order[0].descending;
      return Status::Ok();
    }
  }
  // Sort: read the pinned range when there is one, else the file as stored.
  plan.sorted = true;
  if (probe.key >= 0) {
    n.key = probe.key;
    n.pinned = probe.pinned;
    n.pins = probe.pins;
    n.nocase = probe.nocase;
    plan.key = probe.key;
    plan.pinned = probe.pinned;
  }
  return Status::Ok();
}

// Fills n.bound with the pinned values (the live buffer is left as it was).
Status View::Impl::compute_bound(Node& n) {
  KeyedFile& f = *n.file;
  saved_rec.assign(f.record(), f.record() + f.record_size());
  const KeyDecl& key = f.decl().keys[n.key];
  Status result;
  for (const PinSource& p : n.pins) {
    VarRef field = f.field(static_cast<size_t>(key.components[p.component]));
    Value v = p.expr_node >= 0 ? (n.cond ? n.cond->value_of(p.expr_node)
                                         : filter->value_of(p.expr_node))
                               : p.from.get();
    Status s = field.set(v);
    if (!s.ok()) result = s;
  }
  n.bound.assign(f.record(), f.record() + f.record_size());
  std::memcpy(f.record(), saved_rec.data(), saved_rec.size());
  return result;
}

// Positions n's file at the start (or, backward, the end) of its pinned range.
Status View::Impl::start_range(Node& n, bool backward) {
  KeyedFile& f = *n.file;
  if (n.key < 0) return f.set_file();
  if (n.pinned == 0) return f.set(n.key);
  const KeyDecl& key = f.decl().keys[n.key];
  saved_rec.assign(f.record(), f.record() + f.record_size());
  std::memcpy(f.record(), n.bound.data(), n.bound.size());
  for (size_t c = static_cast<size_t>(n.pinned); c < key.components.size(); ++c) {
    set_extreme(f.decl().fields[key.components[c]], f.record(), backward, key.nocase());
  }
  Status s = f.set_from(n.key);
  std::memcpy(f.record(), saved_rec.data(), saved_rec.size());
  return s;
}

// <0: the record is before the pinned range, 0 inside, >0 after it.
int View::Impl::range_check(KeyedFile& f, const Node& n) const {
  if (n.key < 0 || n.pinned == 0) return 0;
  const KeyDecl& key = f.decl().keys[n.key];
  for (int c = 0; c < n.pinned; ++c) {
    const FieldDecl& fd = f.decl().fields[key.components[c]];
    int r = compare_field(fd, f.record(), n.bound.data(), n.nocase);
    if (r != 0) return r;
  }
  return 0;
}

// ---------------------------------------------------------------------------------------------
// Rows of one primary record

// Reads the matches of join n for the parent record now in the buffers; each match with the
// rows of its own joins becomes sub-rows (cells: file -> index in copies, -1 blank).
Status View::Impl::read_matches(int ni, std::vector<std::vector<int>>* out, bool* ok,
                                std::vector<std::string>* copies) {
  Node& n = nodes[ni];
  KeyedFile& f = *n.file;
  auto take = [&]() -> Status {
    if (n.cond && !n.cond->test()) return Status::Ok();
    copies->push_back(std::string());
    RowCodec::encode_file(f, &copies->back());
    int idx = static_cast<int>(copies->size()) - 1;
    std::vector<std::vector<int>> sub;
    bool sub_ok = true;
    Status s = expand(ni, &sub, &sub_ok, copies);
    if (!s.ok()) return s;
    if (!sub_ok) return Status::Ok();
    for (std::vector<int>& r : sub) {
      r[ni] = idx;
      out->push_back(std::move(r));
    }
    return Status::Ok();
  };
  *ok = true;
  if (n.key >= 0 && n.pinned > 0) {
    Status s = compute_bound(n);
    if (!s.ok()) return Status::Ok();  // a value the key cannot hold matches nothing
  }
  if (n.use_get) {
    std::memcpy(f.record(), n.bound.data(), n.bound.size());
    Status s = f.get(n.key);
    if (s.code() == store::kRecordNotFound) return Status::Ok();
    if (!s.ok()) return s;
    return take();
  }
  Status s = start_range(n, false);
  if (!s.ok()) return s;
  for (;;) {
    s = f.next();
    if (s.code() == store::kRecordNotAvailable) break;
    if (!s.ok()) return s;
    int r = range_check(f, n);
    if (r > 0) break;
    if (r < 0) continue;
    s = take();
    if (!s.ok()) return s;
  }
  return Status::Ok();
}

// The rows that node n's joins give for the record now in n's buffer. *ok false: an inner join
// has no match, so n's record gives no row.
Status View::Impl::expand(int ni, std::vector<std::vector<int>>* out, bool* ok,
                          std::vector<std::string>* copies) {
  Node& n = nodes[ni];
  *ok = true;
  std::vector<std::vector<std::vector<int>>> lists;
  for (int c : n.children) {
    std::vector<std::vector<int>> sub;
    bool child_ok = true;
    Status s = read_matches(c, &sub, &child_ok, copies);
    if (!s.ok()) return s;
    if (sub.empty()) {
      if (nodes[c].kind == Join::Inner) {
        *ok = false;
        return Status::Ok();
      }
      sub.push_back(std::vector<int>(nodes.size(), -1));
    }
    lists.push_back(std::move(sub));
  }
  size_t count = 1;
  for (const auto& l : lists) count = std::max(count, l.size());
  for (size_t i = 0; i < count; ++i) {
    std::vector<int> row(nodes.size(), -1);
    for (size_t j = 0; j < lists.size(); ++j) {
      const auto& l = lists[j];
      const std::vector<int>* src = nullptr;
      if (i < l.size()) {
        src = &l[i];
      } else if (l.size() == 1 && nodes[n.children[j]].to_one) {
        src = &l[0];
      }
      if (!src) continue;
      for (size_t k = 0; k < row.size(); ++k) {
        if ((*src)[k] >= 0) row[k] = (*src)[k];
      }
    }
    out->push_back(std::move(row));
  }
  return Status::Ok();
}

// ---------------------------------------------------------------------------------------------
// Reading

void View::Impl::load_row(size_t i) {
  row = i;
  if (has_joins) codec.decode_joined(rows[i]);
}

bool View::Impl::rest_passes() const {
  for (int t : rest_terms) {
    if (!filter->test_term(t)) return false;
  }
  return true;
}

// Reads the next primary record in the given direction that is in range and passes the
// prefilter, and expands it into rows. *got false at the end.
Status View::Impl::read_primary(bool forward, bool* got) {
  KeyedFile& f = primary();
  Node& n = nodes[0];
  bool file_forward = forward != plan.backward;
  *got = false;
  for (;;) {
    Status s;
    if (reread_last) {
      reread_last = false;
      s = f.reset(last_read);
      if (s.ok()) s = f.next();
    } else {
      s = file_forward ? f.next() : f.previous();
    }
    if (s.code() == store::kRecordNotAvailable) {
      if (f.has_current()) {
        last_read = f.position();
        reread_last = true;
      }
      return Status::Ok();
    }
    if (!s.ok()) return s;
    int r = range_check(f, n);
    if (r != 0) {
      bool beyond = (r > 0) == file_forward;
      if (beyond) {
        last_read = f.position();
        reread_last = true;
        return Status::Ok();
      }
      continue;
    }
    bool pass = true;
    for (int t : pre_terms) {
      if (!filter->test_term(t)) {
        pass = false;
        break;
      }
    }
    if (!pass) continue;
    rows.clear();
    if (!has_joins) {
      rows.emplace_back();
      *got = true;
      return Status::Ok();
    }
    std::vector<std::vector<int>> cells;
    std::vector<std::string> copies;
    bool ok = true;
    s = expand(0, &cells, &ok, &copies);
    if (!s.ok()) return s;
    if (!ok) continue;
    for (const std::vector<int>& c : cells) {
      rows.emplace_back();
      codec.encode_joined(c, copies, &rows.back());
    }
    *got = true;
    return Status::Ok();
  }
}

Status View::Impl::step(bool forward) {
  if (state == State::Closed) return store::make_error(store::kFileNotOpen, "view not open");
  ++reads;
  if (plan.sorted) {
    bool got = forward ? sorter->next() : sorter->previous();
    if (!sorter->status().ok()) return sorter->status();
    if (!got) {
      state = forward ? State::AtEnd : State::AtStart;
      return store::make_error(store::kRecordNotAvailable, primary().decl().label);
    }
    codec.decode_all(sorter->payload());
    state = State::In;
    return Status::Ok();
  }
  // Within the rows of the current primary record.
  if (state == State::In) {
    if (forward) {
      for (size_t i = row + 1; i < rows.size(); ++i) {
        load_row(i);
        if (rest_passes()) return Status::Ok();
      }
    } else {
      for (size_t i = row; i-- > 0;) {
        load_row(i);
        if (rest_passes()) return Status::Ok();
      }
    }
  }
  // Past an end, the opposite direction starts with the last record read.
  if ((state == State::AtEnd && forward) || (state == State::AtStart && !forward)) {
    return store::make_error(store::kRecordNotAvailable, primary().decl().label);
  }
  for (;;) {
    bool got = false;
    Status s = read_primary(forward, &got);
    if (!s.ok()) return s;
    if (!got) {
      state = forward ? State::AtEnd : State::AtStart;
      return store::make_error(store::kRecordNotAvailable, primary().decl().label);
    }
    state = State::In;
    if (forward) {
      for (size_t i = 0; i < rows.size(); ++i) {
        load_row(i);
        if (rest_passes()) return Status::Ok();
      }
    } else {
      for (size_t i = rows.size(); i-- > 0;) {
        load_row(i);
        if (rest_passes()) return Status::Ok();
      }
    }
  }
}

void View::Impl::encode_sort_key(std::string* out) {
  out->clear();
  for (const OrderComponent& c : order) {
    size_t start = out->size();
    encode_order_value(c.ref, out);
    if (c.descending) {
      for (size_t i = start; i < out->size(); ++i) (*out)[i] = static_cast<char>(~(*out)[i]);
    }
  }
}

Status View::Impl::fill_sorter() {
  sorter = std::make_unique<Sorter>(sort_memory);
  bool save_backward = plan.backward;
  plan.backward = false;
  Status result;
  for (;;) {
    bool got = false;
    Status s = read_primary(true, &got);
    if (!s.ok()) {
      result = s;
      break;
    }
    if (!got) break;
    for (size_t i = 0; i < rows.size(); ++i) {
      load_row(i);
      if (!rest_passes()) continue;
      encode_sort_key(&key_scratch);
      image_scratch.clear();
      codec.encode_all(&image_scratch);
      s = sorter->add(key_scratch, image_scratch);
      if (!s.ok()) {
        result = s;
        break;
      }
    }
    if (!result.ok()) break;
  }
  plan.backward = save_backward;
  rows.clear();
  reread_last = false;
  if (!result.ok()) return result;
  return sorter->finish();
}

// ---------------------------------------------------------------------------------------------

View::View(KeyedFile& primary, BoundNames& names) : impl_(std::make_unique<Impl>(names)) {
  Node n;
  n.file = &primary;
  impl_->nodes.push_back(std::move(n));
}

View::~View() = default;

int View::join_key(int parent, KeyedFile& file, std::string_view key, std::vector<std::string> from,
                   Join kind, Cardinality card) {
  Node n;
  n.file = &file;
  n.parent = parent;
  n.by_key = true;
  n.key_name = std::string(key);
  n.from = std::move(from);
  n.kind = kind;
  n.card = card;
  if (parent < 0 || parent >= static_cast<int>(impl_->nodes.size())) {
    impl_->decl_error = view_error(store::kInvalidDeclaration, "View join: no such parent");
    return -1;
  }
  for (int a = parent; a >= 0; a = impl_->nodes[a].parent) n.ancestors.push_back(a);
  impl_->nodes.push_back(std::move(n));
  int id = static_cast<int>(impl_->nodes.size()) - 1;
  impl_->nodes[parent].children.push_back(id);
  return id;
}

int View::join_condition(int parent, KeyedFile& file, std::string condition, Join kind,
                         Cardinality card) {
  int id = join_key(parent, file, "", {}, kind, card);
  if (id < 0) return id;
  Node& n = impl_->nodes[id];
  n.by_key = false;
  n.condition = std::move(condition);
  return id;
}

void View::set_order(std::string order_text) {
  impl_->order_text = std::move(order_text);
  impl_->order_key.clear();
}

void View::set_key_order(std::string_view key, bool backward) {
  impl_->order_key = std::string(key);
  impl_->key_backward = backward;
  impl_->order_text.clear();
}

void View::set_stored_order() {
  impl_->order_key.clear();
  impl_->order_text.clear();
}

void View::set_filter(std::string text) { impl_->filter_text = std::move(text); }
void View::set_sort_memory(size_t bytes) { impl_->sort_memory = bytes; }

Status View::open() {
  Impl& m = *impl_;
  close();
  if (!m.decl_error.ok()) return m.decl_error;
  for (const Node& n : m.nodes) {
    if (!n.file->is_open()) return store::make_error(store::kFileNotOpen, n.file->name());
  }
  // Each file may appear once: the buffers are the rows.
  for (size_t i = 0; i < m.nodes.size(); ++i) {
    for (size_t j = i + 1; j < m.nodes.size(); ++j) {
      if (m.nodes[i].file == m.nodes[j].file) {
        return view_error(store::kInvalidDeclaration,
                          "View: " + m.nodes[i].file->decl().label + " is in the view twice");
      }
    }
  }
  m.plan = Plan{};
  Status s = m.compile_filter();
  if (!s.ok()) return s;
  s = m.compile_order();
  if (!s.ok()) return s;
  s = m.plan_joins();
  if (!s.ok()) return s;
  s = m.plan_primary();
  if (!s.ok()) return s;
  std::vector<KeyedFile*> files;
  for (const Node& n : m.nodes) files.push_back(n.file);
  m.codec.init(std::move(files));
  Node& p = m.nodes[0];
  if (p.key >= 0 && p.pinned > 0) (void)m.compute_bound(p);
  m.rows.clear();
  m.row = 0;
  m.reread_last = false;
  m.reads = 0;
  s = m.start_range(p, m.plan.backward && !m.plan.sorted);
  if (!s.ok()) return s;
  if (m.plan.sorted) {
    s = m.fill_sorter();
    if (!s.ok()) return s;
  }
  m.state = State::Before;
  return Status::Ok();
}

void View::close() {
  impl_->state = State::Closed;
  impl_->sorter.reset();
  impl_->rows.clear();
}

bool View::is_open() const { return impl_->state != State::Closed; }

Status View::start_at_key() {
  Impl& m = *impl_;
  if (m.state == State::Closed) return store::make_error(store::kFileNotOpen, "view not open");
  Node& p = m.nodes[0];
  if (m.plan.sorted || p.key < 0) {
    return view_error(store::kInvalidDeclaration, "View: start_at_key needs a key order");
  }
  KeyedFile& f = m.primary();
  m.rows.clear();
  m.reread_last = false;
  m.state = State::Before;
  if (p.pinned > 0) {
    (void)m.compute_bound(p);
    int r = m.range_check(f, p);
    bool before_range = m.plan.backward ? r > 0 : r < 0;
    if (before_range) return m.start_range(p, m.plan.backward);
  }
  return f.set_from(p.key);
}

Status View::next() { return impl_->step(true); }
Status View::previous() { return impl_->step(false); }

Result<int64_t> View::records() { return impl_->primary().records(); }

ViewPosition View::save_position() const {
  Impl& m = *impl_;
  ViewPosition pos;
  if (m.state != State::In) return pos;
  pos.valid = true;
  pos.state = static_cast<int>(m.state);
  pos.image.clear();
  m.codec.encode_all(&pos.image);
  if (m.plan.sorted) {
    pos.sorted_index = m.sorter->in_memory() ? m.sorter->index() : 0;
    pos.row = static_cast<size_t>(m.reads);
    return pos;
  }
  KeyedFile& f = *m.nodes[0].file;
  if (f.has_current()) {
    pos.primary = f.position();
    pos.primary_valid = true;
  }
  pos.rows = m.rows;
  pos.row = m.row;
  return pos;
}

Status View::restore_position(const ViewPosition& pos) {
  Impl& m = *impl_;
  if (m.state == State::Closed) return store::make_error(store::kFileNotOpen, "view not open");
  if (!pos.valid) return store::make_error(store::kRecordNotAvailable, "no saved view position");
  if (m.plan.sorted) {
    if (m.sorter->in_memory()) {
      if (!m.sorter->seek(pos.sorted_index)) {
        return store::make_error(store::kRecordNotAvailable, "saved view position");
      }
    } else if (static_cast<uint64_t>(pos.row) != m.reads) {
      return store::make_error(store::kRecordNotAvailable,
                               "a merged sort cannot go back to a saved position");
    }
    m.codec.decode_all(pos.image);
    m.state = State::In;
    return Status::Ok();
  }
  KeyedFile& f = m.primary();
  if (pos.primary_valid) {
    Status s = f.reset(pos.primary);
    if (s.ok()) s = f.next();
    if (!s.ok()) return s;
  }
  m.rows = pos.rows;
  m.row = pos.row;
  m.reread_last = false;
  m.codec.decode_all(pos.image);
  m.state = State::In;
  return Status::Ok();
}

const Plan& View::plan() const { return impl_->plan; }

Status bind_record(KeyedFile& file, BoundNames& names) {
  const store::FileDecl& d = file.decl();
  for (size_t i = 0; i < d.fields.size(); ++i) {
    Status s = names.bind(d.text_name(d.fields[i]), file.field(i), file.record());
    if (!s.ok()) return s;
  }
  for (size_t i = 0; i < d.memos.size(); ++i) {
    Status s = names.bind(d.text_name(d.memos[i]), file.memo_ref(i), file.record());
    if (!s.ok()) return s;
  }
  return Status::Ok();
}

}  // namespace tdx::view
