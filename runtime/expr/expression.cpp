#include "runtime/expr/expression.h"

#include <algorithm>
#include <cstring>

#include "runtime/datetime/datetime.h"
#include "runtime/decimal/decimal.h"
#include "runtime/text/str.h"

namespace tdx {
namespace {

enum class Op : uint8_t { Empty, Text, Number, Name, Not, And, Or, Cmp, Call };
enum class Rel : uint8_t { Eq, Ne, Lt, Gt, Le, Ge };
enum class Fn : uint8_t { Upper, Lower, Clip, Left, Sub, Instring, Len, Int, Abs, Today };

struct FnInfo {
  const char* name;
  Fn fn;
  int min_args, max_args;
};
constexpr FnInfo kFunctions[] = {
    {"UPPER", Fn::Upper, 1, 1}, {"LOWER", Fn::Lower, 1, 1},       {"CLIP", Fn::Clip, 1, 1},
    {"LEFT", Fn::Left, 1, 1},   {"SUB", Fn::Sub, 3, 3},           {"INSTRING", Fn::Instring, 2, 4},
    {"LEN", Fn::Len, 1, 1},     {"INT", Fn::Int, 1, 1},           {"ABS", Fn::Abs, 1, 1},
    {"TODAY", Fn::Today, 0, 0},
};

// Deeper parser recursion, or a taller expression tree, is refused rather than risking the
// stack: evaluation recurses once per level of the tree.
constexpr int kMaxDepth = 400;
constexpr int kMaxHeight = 200;
// Scratch reserved for a text function when its argument's size is unknown.
constexpr size_t kDefaultScratch = 256;

struct Node {
  Op op = Op::Empty;
  Rel rel = Rel::Eq;
  Fn fn = Fn::Upper;
  int a = -1, b = -1;         // operands (Not: a; And/Or/Cmp: a, b)
  int first_arg = 0, nargs = 0;
  std::string text;           // Text literal; Name: the name as written
  Decimal number;             // Number literal
  VarRef ref;                 // Name
  size_t capacity = 0;        // text capacity of the node's result, 0 = unknown
  int height = 1;             // levels of the tree below and including this node
  mutable std::string scratch;
};

// The result of evaluating a node: a text view (into a variable, a literal or a scratch
// buffer) or a number.
struct Slot {
  bool is_text = false;
  bool is_real = false;  // a REAL variable: compared as a double, as the runtime does
  std::string_view text;
  Decimal number;
  double real = 0;
};

char upper_char(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
  // Windows-1252 lower-case letters: 0xE0..0xFE except 0xF7; š ś ž œ ÿ.
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char>(c - 32);
  if (c == 0x9A) return static_cast<char>(0x8A);
  if (c == 0x9C) return static_cast<char>(0x8C);
  if (c == 0x9E) return static_cast<char>(0x8E);
  if (c == 0xFF) return static_cast<char>(0x9F);
  return static_cast<char>(c);
}
char lower_char(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char>(c + 32);
  if (c == 0x8A) return static_cast<char>(0x9A);
  if (c == 0x8C) return static_cast<char>(0x9C);
  if (c == 0x8E) return static_cast<char>(0x9E);
  if (c == 0x9F) return static_cast<char>(0xFF);
  return static_cast<char>(c);
}

// SUB(s, start, length) on a view: the part of positions start..start+length-1 (1-based) that
// exists.
std::string_view sub_view(std::string_view s, long long start, long long length) {
  if (length <= 0) return {};
  long long from = start, to = start + length - 1;  // inclusive, 1-based
  if (from < 1) from = 1;
  if (to > static_cast<long long>(s.size())) to = static_cast<long long>(s.size());
  if (from > to) return {};
  return s.substr(static_cast<size_t>(from - 1), static_cast<size_t>(to - from + 1));
}

size_t var_capacity(const VarRef& r) {
  switch (r.type) {
    case FieldType::String:
    case FieldType::CString:
    case FieldType::Memo:
      return r.size;
    default:
      return 32;
  }
}

// ---------------------------------------------------------------------------------------------
// Tokens

enum class Tok : uint8_t { End, Name, Number, Text, LParen, RParen, Comma, Rel, And, Or, Not };

struct Token {
  Tok kind = Tok::End;
  size_t pos = 0;  // 0-based offset in the text
  std::string_view raw;
  Rel rel = Rel::Eq;
  std::string text;  // Text literal content (quotes undone)
};

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool is_alpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_name_char(char c) { return is_alpha(c) || is_digit(c) || c == ':'; }

bool equals_nocase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (upper_char(static_cast<unsigned char>(a[i])) !=
        upper_char(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

}  // namespace

struct Expression::Impl {
  std::string text;
  std::vector<Node> nodes;
  std::vector<int> args;
  int root = -1;

  Slot eval(int i) const;
  bool truth(int i) const;
  static bool slot_truth(const Slot& s);
  static Decimal slot_number(const Slot& s);
  static double slot_real(const Slot& s);
  std::string_view slot_text(const Slot& s, const Node& n) const;
  Value to_value(const Slot& s) const;
  uint64_t groups_of(int i, const Expression::Classifier& classify) const;
};

namespace {

class Parser {
 public:
  Parser(std::string_view text, const BoundNames& names, Expression::Impl* out)
      : s_(text), names_(names), out_(out) {}

  Status Run() {
    Status st = Next();
    if (!st.ok()) return st;
    if (tok_.kind == Tok::End) {
      return Add(Node{}, &out_->root);  // Op::Empty
    }
    int root = -1;
    st = ParseOr(0, &root);
    if (!st.ok()) return st;
    if (tok_.kind != Tok::End) return Error(tok_.pos, "unexpected \"" + std::string(tok_.raw) + "\"");
    out_->root = root;
    return Status::Ok();
  }

 private:
  Status Error(size_t pos, const std::string& what) const {
    int code = kExprSyntax;
    return Status(code, "Bad expression \"" + std::string(s_) + "\" at " +
                            std::to_string(pos + 1) + ": " + what);
  }
  Status NameError(size_t pos, std::string_view name) const {
    return Status(kExprUnknownName, "Bad expression \"" + std::string(s_) + "\" at " +
                                        std::to_string(pos + 1) + ": the name \"" +
                                        std::string(name) + "\" is not bound");
  }

  // Adds a node; a tree taller than kMaxHeight is refused (at the current token).
  Status Add(Node n, int* out) {
    int h = 0;
    if (n.a >= 0) h = std::max(h, out_->nodes[n.a].height);
    if (n.b >= 0) h = std::max(h, out_->nodes[n.b].height);
    for (int k = 0; k < n.nargs; ++k) {
      h = std::max(h, out_->nodes[out_->args[n.first_arg + k]].height);
    }
    n.height = h + 1;
    if (n.height > kMaxHeight) return Error(tok_.pos, "expression too long or nested too deeply");
    out_->nodes.push_back(std::move(n));
    *out = static_cast<int>(out_->nodes.size()) - 1;
    return Status::Ok();
  }

  Status Next() {
    size_t i = p_;
    while (i < s_.size() && is_space(s_[i])) ++i;
    tok_ = Token{};
    tok_.pos = i;
    if (i >= s_.size()) {
      tok_.kind = Tok::End;
      p_ = i;
      return Status::Ok();
    }
    char c = s_[i];
    size_t start = i;
    if (is_alpha(c)) {
      while (i < s_.size() && is_name_char(s_[i])) ++i;
      tok_.raw = s_.substr(start, i - start);
      if (equals_nocase(tok_.raw, "AND")) {
        tok_.kind = Tok::And;
      } else if (equals_nocase(tok_.raw, "OR")) {
        tok_.kind = Tok::Or;
      } else if (equals_nocase(tok_.raw, "NOT")) {
        tok_.kind = Tok::Not;
      } else {
        tok_.kind = Tok::Name;
      }
    } else if (is_digit(c) || starts_number(i) || (c == '-' && starts_number(i + 1))) {
      if (c == '-') ++i;
      while (i < s_.size() && (is_digit(s_[i]) || s_[i] == '.')) ++i;
      if (i < s_.size() && is_alpha(s_[i])) return Error(i, "malformed number");
      tok_.kind = Tok::Number;
      tok_.raw = s_.substr(start, i - start);
    } else if (c == '\'') {
      ++i;
      std::string lit;
      for (;;) {
        if (i >= s_.size()) return Error(start, "text without its closing quote");
        if (s_[i] == '\'') {
          if (i + 1 < s_.size() && s_[i + 1] == '\'') {
            lit.push_back('\'');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        lit.push_back(s_[i++]);
      }
      tok_.kind = Tok::Text;
      tok_.text = std::move(lit);
      tok_.raw = s_.substr(start, i - start);
    } else {
      ++i;
      auto two = [&](char next) { return i < s_.size() && s_[i] == next ? (++i, true) : false; };
      switch (c) {
        case '(':
          tok_.kind = Tok::LParen;
          break;
        case ')':
          tok_.kind = Tok::RParen;
          break;
        case ',':
          tok_.kind = Tok::Comma;
          break;
        case '=':
          tok_.kind = Tok::Rel;
          tok_.rel = two('>') ? Rel::Ge : two('<') ? Rel::Le : Rel::Eq;
          break;
        case '<':
          tok_.kind = Tok::Rel;
          tok_.rel = two('>') ? Rel::Ne : two('=') ? Rel::Le : Rel::Lt;
          break;
        case '>':
          tok_.kind = Tok::Rel;
          tok_.rel = two('=') ? Rel::Ge : Rel::Gt;
          break;
        case '~':
          if (two('=')) {
            tok_.kind = Tok::Rel;
            tok_.rel = Rel::Ne;
          } else {
            tok_.kind = Tok::Not;
          }
          break;
        default: {
          unsigned char u = static_cast<unsigned char>(c);
          std::string shown = (u >= 0x20 && u < 0x7F) ? std::string(1, c)
                                                       : "byte " + std::to_string(u);
          return Error(start, "unexpected character \"" + shown + "\"");
        }
      }
      tok_.raw = s_.substr(start, i - start);
    }
    p_ = i;
    return Status::Ok();
  }

  bool starts_number(size_t i) const {
    if (i >= s_.size()) return false;
    if (is_digit(s_[i])) return true;
    return s_[i] == '.' && i + 1 < s_.size() && is_digit(s_[i + 1]);
  }

  Status Deeper(int depth) const {
    if (depth > kMaxDepth) return Error(tok_.pos, "expression nested too deeply");
    return Status::Ok();
  }

  Status ParseOr(int depth, int* out) {
    if (Status st = Deeper(depth); !st.ok()) return st;
    int left = -1;
    if (Status st = ParseAnd(depth + 1, &left); !st.ok()) return st;
    while (tok_.kind == Tok::Or) {
      if (Status st = Next(); !st.ok()) return st;
      int right = -1;
      if (Status st = ParseAnd(depth + 1, &right); !st.ok()) return st;
      Node n;
      n.op = Op::Or;
      n.a = left;
      n.b = right;
      if (Status st = Add(std::move(n), &left); !st.ok()) return st;
    }
    *out = left;
    return Status::Ok();
  }

  Status ParseAnd(int depth, int* out) {
    int left = -1;
    if (Status st = ParseNot(depth + 1, &left); !st.ok()) return st;
    while (tok_.kind == Tok::And) {
      if (Status st = Next(); !st.ok()) return st;
      int right = -1;
      if (Status st = ParseNot(depth + 1, &right); !st.ok()) return st;
      Node n;
      n.op = Op::And;
      n.a = left;
      n.b = right;
      if (Status st = Add(std::move(n), &left); !st.ok()) return st;
    }
    *out = left;
    return Status::Ok();
  }

  Status ParseNot(int depth, int* out) {
    if (Status st = Deeper(depth); !st.ok()) return st;
    if (tok_.kind == Tok::Not) {
      if (Status st = Next(); !st.ok()) return st;
      int operand = -1;
      if (Status st = ParseNot(depth + 1, &operand); !st.ok()) return st;
      Node n;
      n.op = Op::Not;
      n.a = operand;
      return Add(std::move(n), out);
    }
    return ParseCompare(depth + 1, out);
  }

  Status ParseCompare(int depth, int* out) {
    int left = -1;
    if (Status st = ParseOperand(depth + 1, &left); !st.ok()) return st;
    if (tok_.kind == Tok::Rel) {
      Rel rel = tok_.rel;
      if (Status st = Next(); !st.ok()) return st;
      int right = -1;
      if (Status st = ParseOperand(depth + 1, &right); !st.ok()) return st;
      if (tok_.kind == Tok::Rel) {
        return Error(tok_.pos, "a comparison cannot follow a comparison; use and/or");
      }
      Node n;
      n.op = Op::Cmp;
      n.rel = rel;
      n.a = left;
      n.b = right;
      if (Status st = Add(std::move(n), &left); !st.ok()) return st;
    }
    *out = left;
    return Status::Ok();
  }

  Status ParseOperand(int depth, int* out) {
    if (Status st = Deeper(depth); !st.ok()) return st;
    Token t = tok_;
    switch (t.kind) {
      case Tok::LParen: {
        if (Status st = Next(); !st.ok()) return st;
        int inner = -1;
        if (Status st = ParseOr(depth + 1, &inner); !st.ok()) return st;
        if (tok_.kind != Tok::RParen) return Error(tok_.pos, "\")\" expected");
        *out = inner;
        return Next();
      }
      case Tok::Text: {
        Node n;
        n.op = Op::Text;
        n.capacity = t.text.size();
        n.text = std::move(t.text);
        if (Status st = Add(std::move(n), out); !st.ok()) return st;
        return Next();
      }
      case Tok::Number:
        return Number(t.raw, t.pos, out);
      case Tok::Rel:
      case Tok::Comma:
      case Tok::RParen:
      case Tok::And:
      case Tok::Or:
      case Tok::Not:
        return Error(t.pos, "operand expected before \"" + std::string(t.raw) + "\"");
      case Tok::End:
        return Error(t.pos, "operand expected at the end");
      case Tok::Name:
        break;
    }
    // A name: a function call when "(" follows, else a bound name.
    if (Status st = Next(); !st.ok()) return st;
    if (tok_.kind == Tok::LParen) return Call(t, depth, out);
    const BoundName* bound = names_.find(t.raw);
    if (bound == nullptr) return NameError(t.pos, t.raw);
    Node n;
    n.op = Op::Name;
    n.text = std::string(t.raw);
    n.ref = bound->ref;
    n.capacity = var_capacity(bound->ref);
    return Add(std::move(n), out);
  }

  Status Number(std::string_view raw, size_t pos, int* out) {
    Result<Decimal> d = Decimal::Parse(raw);
    if (!d.ok()) return Error(pos, "malformed or too large number \"" + std::string(raw) + "\"");
    Node n;
    n.op = Op::Number;
    n.number = *d;
    n.capacity = 48;
    if (Status st = Add(std::move(n), out); !st.ok()) return st;
    return Next();
  }

  Status Call(const Token& name, int depth, int* out) {
    const FnInfo* info = nullptr;
    for (const FnInfo& f : kFunctions) {
      if (equals_nocase(name.raw, f.name)) info = &f;
    }
    if (info == nullptr) {
      return Error(name.pos, "unknown function \"" + std::string(name.raw) + "\"");
    }
    if (Status st = Next(); !st.ok()) return st;  // past "("
    std::vector<int> args;
    if (tok_.kind != Tok::RParen) {
      for (;;) {
        int arg = -1;
        if (Status st = ParseOr(depth + 1, &arg); !st.ok()) return st;
        args.push_back(arg);
        if (tok_.kind == Tok::Comma) {
          if (Status st = Next(); !st.ok()) return st;
          continue;
        }
        if (tok_.kind != Tok::RParen) return Error(tok_.pos, "\",\" or \")\" expected");
        break;
      }
    }
    if (static_cast<int>(args.size()) < info->min_args ||
        static_cast<int>(args.size()) > info->max_args) {
      std::string want = info->min_args == info->max_args
                             ? std::to_string(info->min_args)
                             : std::to_string(info->min_args) + " to " +
                                   std::to_string(info->max_args);
      return Error(name.pos, std::string(info->name) + " takes " + want + " argument(s), not " +
                                 std::to_string(args.size()));
    }
    Node n;
    n.op = Op::Call;
    n.fn = info->fn;
    n.text = info->name;
    n.first_arg = static_cast<int>(out_->args.size());
    n.nargs = static_cast<int>(args.size());
    size_t cap = 0;
    for (int a : args) {
      out_->args.push_back(a);
      cap = std::max(cap, out_->nodes[a].capacity);
    }
    n.capacity = cap;
    if (info->fn == Fn::Upper || info->fn == Fn::Lower || info->fn == Fn::Left) {
      n.scratch.reserve(cap ? cap : kDefaultScratch);
    }
    if (Status st = Add(std::move(n), out); !st.ok()) return st;
    return Next();  // past ")"
  }

  std::string_view s_;
  const BoundNames& names_;
  Expression::Impl* out_;
  size_t p_ = 0;
  Token tok_;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Evaluation

bool Expression::Impl::slot_truth(const Slot& s) {
  if (s.is_real) return s.real != 0.0;
  return s.is_text ? !is_blank(s.text) : !s.number.is_zero();
}

Decimal Expression::Impl::slot_number(const Slot& s) {
  if (s.is_real) return Decimal::FromDouble(s.real, 10);
  return s.is_text ? text_to_number(s.text) : s.number;
}

double Expression::Impl::slot_real(const Slot& s) {
  if (s.is_real) return s.real;
  return s.is_text ? text_to_number(s.text).to_double() : s.number.to_double();
}

// The text of a slot; a number is formatted into the node's scratch (allocates).
std::string_view Expression::Impl::slot_text(const Slot& s, const Node& n) const {
  if (s.is_text) return s.text;
  n.scratch = s.is_real ? Value(s.real).text() : s.number.Normalized().ToString();
  return n.scratch;
}

Slot Expression::Impl::eval(int i) const {
  const Node& n = nodes[i];
  Slot out;
  switch (n.op) {
    case Op::Empty:
      out.number = Decimal(1);
      return out;
    case Op::Text:
      out.is_text = true;
      out.text = n.text;
      return out;
    case Op::Number:
      out.number = n.number;
      return out;
    case Op::Name: {
      const VarRef& r = n.ref;
      switch (r.type) {
        case FieldType::String:
          out.is_text = true;
          out.text = std::string_view(static_cast<const char*>(r.ptr), r.size);
          return out;
        case FieldType::CString:
          out.is_text = true;
          out.text = cstring_view(static_cast<const char*>(r.ptr), r.size);
          return out;
        case FieldType::Memo:
          out.is_text = true;
          out.text = *static_cast<const std::string*>(r.ptr);
          if (out.text.size() > r.size) out.text = out.text.substr(0, r.size);
          return out;
        case FieldType::Decimal: {
          Result<Decimal> d =
              Decimal::Unpack(r.digits, r.places, static_cast<const unsigned char*>(r.ptr));
          out.number = d.ok() ? *d : Decimal(0);  // a damaged field reads as 0
          return out;
        }
        case FieldType::Long: {
          int32_t v;
          std::memcpy(&v, r.ptr, sizeof v);
          out.number = Decimal(v);
          return out;
        }
        case FieldType::Short: {
          int16_t v;
          std::memcpy(&v, r.ptr, sizeof v);
          out.number = Decimal(static_cast<int>(v));
          return out;
        }
        case FieldType::Byte:
          out.number = Decimal(static_cast<int>(*static_cast<const uint8_t*>(r.ptr)));
          return out;
        case FieldType::Real: {
          std::memcpy(&out.real, r.ptr, sizeof out.real);
          out.is_real = true;
          return out;
        }
      }
      return out;
    }
    case Op::Not:
      out.number = Decimal(truth(n.a) ? 0 : 1);
      return out;
    case Op::And:
      out.number = Decimal(truth(n.a) && truth(n.b) ? 1 : 0);
      return out;
    case Op::Or:
      out.number = Decimal(truth(n.a) || truth(n.b) ? 1 : 0);
      return out;
    case Op::Cmp: {
      Slot l = eval(n.a);
      Slot r = eval(n.b);
      int c;
      if (l.is_text && r.is_text) {
        c = compare_clipped(l.text, r.text);
      } else if (l.is_real || r.is_real) {
        double x = slot_real(l), y = slot_real(r);
        c = x < y ? -1 : (x > y ? 1 : 0);
      } else {
        c = Decimal::Compare(slot_number(l), slot_number(r));
      }
      bool result = false;
      switch (n.rel) {
        case Rel::Eq: result = c == 0; break;
        case Rel::Ne: result = c != 0; break;
        case Rel::Lt: result = c < 0; break;
        case Rel::Gt: result = c > 0; break;
        case Rel::Le: result = c <= 0; break;
        case Rel::Ge: result = c >= 0; break;
      }
      out.number = Decimal(result ? 1 : 0);
      return out;
    }
    case Op::Call: {
      const int* a = args.data() + n.first_arg;
      switch (n.fn) {
        case Fn::Upper:
        case Fn::Lower: {
          Slot s = eval(a[0]);
          std::string_view src = slot_text(s, nodes[a[0]]);
          n.scratch.assign(src.data(), src.size());
          for (char& ch : n.scratch) {
            unsigned char u = static_cast<unsigned char>(ch);
            ch = n.fn == Fn::Upper ? upper_char(u) : lower_char(u);
          }
          out.is_text = true;
          out.text = n.scratch;
          return out;
        }
        case Fn::Clip: {
          Slot s = eval(a[0]);
          out.is_text = true;
          out.text = clip(slot_text(s, nodes[a[0]]));
          return out;
        }
        case Fn::Left: {
          Slot s = eval(a[0]);
          std::string_view src = slot_text(s, nodes[a[0]]);
          size_t lead = 0;
          while (lead < src.size() && src[lead] == ' ') ++lead;
          n.scratch.assign(src.data() + lead, src.size() - lead);
          n.scratch.append(lead, ' ');
          out.is_text = true;
          out.text = n.scratch;
          return out;
        }
        case Fn::Sub: {
          Slot s = eval(a[0]);
          std::string_view src = slot_text(s, nodes[a[0]]);
          long long start = slot_number(eval(a[1])).to_integer();
          long long length = slot_number(eval(a[2])).to_integer();
          out.is_text = true;
          out.text = sub_view(src, start, length);
          return out;
        }
        case Fn::Instring: {
          Slot needle = eval(a[0]);
          std::string_view nv = slot_text(needle, nodes[a[0]]);
          Slot hay = eval(a[1]);
          std::string_view hv = slot_text(hay, nodes[a[1]]);
          long long step = n.nargs > 2 ? slot_number(eval(a[2])).to_integer() : 1;
          long long start = n.nargs > 3 ? slot_number(eval(a[3])).to_integer() : 1;
          // Out-of-range steps and starts find nothing rather than reaching the library
          // function with values it does not expect.
          if (step < 1 || start < 1 || start > static_cast<long long>(hv.size()) + 1) {
            out.number = Decimal(0);
          } else {
            out.number = Decimal(static_cast<long long>(
                instring(nv, hv, static_cast<long>(step), static_cast<long>(start))));
          }
          return out;
        }
        case Fn::Len: {
          Slot s = eval(a[0]);
          out.number = Decimal(static_cast<long long>(slot_text(s, nodes[a[0]]).size()));
          return out;
        }
        case Fn::Int:
          out.number = Decimal(slot_number(eval(a[0])).to_integer());
          return out;
        case Fn::Abs: {
          Decimal d = slot_number(eval(a[0]));
          out.number = d.negative() ? -d : d;
          return out;
        }
        case Fn::Today:
          out.number = Decimal(static_cast<long long>(today()));
          return out;
      }
      return out;
    }
  }
  return out;
}

bool Expression::Impl::truth(int i) const {
  const Node& n = nodes[i];
  switch (n.op) {
    case Op::Empty:
      return true;
    case Op::Not:
      return !truth(n.a);
    case Op::And:
      return truth(n.a) && truth(n.b);
    case Op::Or:
      return truth(n.a) || truth(n.b);
    default:
      return slot_truth(eval(i));
  }
}

Value Expression::Impl::to_value(const Slot& s) const {
  if (s.is_text) return Value(std::string(s.text));
  if (s.is_real) return Value(s.real);
  return Value(s.number);
}

uint64_t Expression::Impl::groups_of(int i, const Classifier& classify) const {
  const Node& n = nodes[i];
  uint64_t out = 0;
  if (n.op == Op::Name) {
    int g = classify(n.ref);
    if (g >= 0 && g <= 63) out |= uint64_t{1} << g;
  }
  if (n.a >= 0) out |= groups_of(n.a, classify);
  if (n.b >= 0) out |= groups_of(n.b, classify);
  if (n.op == Op::Call) {
    for (int k = 0; k < n.nargs; ++k) out |= groups_of(args[n.first_arg + k], classify);
  }
  return out;
}

// ---------------------------------------------------------------------------------------------

Expression::Expression() : impl_(std::make_unique<Impl>()) {
  impl_->nodes.push_back(Node{});
  impl_->root = 0;
}
Expression::Expression(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Expression::~Expression() = default;
Expression::Expression(Expression&&) noexcept = default;
Expression& Expression::operator=(Expression&&) noexcept = default;

Result<Expression> Expression::Compile(std::string_view text, const BoundNames& names) {
  auto impl = std::make_unique<Impl>();
  impl->text = std::string(text);
  Parser parser(impl->text, names, impl.get());
  Status st = parser.Run();
  if (!st.ok()) return st;
  return Expression(std::move(impl));
}

const std::string& Expression::text() const { return impl_->text; }
bool Expression::empty() const { return impl_->nodes[impl_->root].op == Op::Empty; }
bool Expression::test() const { return impl_->truth(impl_->root); }
Value Expression::value() const { return impl_->to_value(impl_->eval(impl_->root)); }
bool Expression::test_term(int node) const { return impl_->truth(node); }
Value Expression::value_of(int node) const { return impl_->to_value(impl_->eval(node)); }

std::vector<Expression::Term> Expression::terms(const Classifier& classify) const {
  std::vector<Term> out;
  if (empty()) return out;
  // Flatten the top-level "and" chain, left to right.
  std::vector<int> stack{impl_->root}, order;
  while (!stack.empty()) {
    int i = stack.back();
    stack.pop_back();
    const Node& n = impl_->nodes[i];
    if (n.op == Op::And) {
      stack.push_back(n.b);
      stack.push_back(n.a);
    } else {
      order.push_back(i);
    }
  }
  for (int i : order) {
    Term t;
    t.node = i;
    t.groups = impl_->groups_of(i, classify);
    const Node& n = impl_->nodes[i];
    if (n.op == Op::Cmp && n.rel == Rel::Eq) {
      auto unwrap_upper = [&](int k, bool* folded) {
        const Node& m = impl_->nodes[k];
        if (m.op == Op::Call && m.fn == Fn::Upper) {
          *folded = true;
          return impl_->args[m.first_arg];
        }
        *folded = false;
        return k;
      };
      bool fa = false, fb = false;
      int a = unwrap_upper(n.a, &fa), b = unwrap_upper(n.b, &fb);
      int used = 0;
      for (int side = 0; side < 2 && fa == fb; ++side) {
        const Node& name = impl_->nodes[side == 0 ? a : b];
        int other = side == 0 ? b : a;
        if (name.op != Op::Name) continue;
        int g = classify(name.ref);
        if (g < 0 || g > 63) continue;
        if (impl_->groups_of(other, classify) & (uint64_t{1} << g)) continue;
        Pin& p = t.pins[used++];
        p.group = g;
        p.field = name.ref;
        p.other = other;
        p.folds_case = fa;
      }
    }
    out.push_back(std::move(t));
  }
  return out;
}

}  // namespace tdx
