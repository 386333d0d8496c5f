// Expression: a filter or condition text, compiled once and evaluated per record.
//
// The language (runtime/expr/EXPRESSIONS.md has the full grammar):
//   comparisons  =  <>  <  >  <=  >=  =>  =<  (=> is >=, =< is <=; ~= is <>)
//   logic        and  or  not  (also ~), parentheses; keywords in any case
//   operands     'text' ('' is a quote inside), numbers (12, -3, 4.50), bound names
//                (PRO:BID_ID, case-insensitive), function calls: UPPER LOWER CLIP LEFT SUB
//                INSTRING LEN INT ABS TODAY
//   a bare operand is a truth value: a non-zero number, a non-blank text.
// Two texts compare byte-wise ignoring trailing blanks, with regard to case unless a function
// folds it; otherwise both sides compare as numbers (a text converted as the runtime converts:
// "12" is 12, "abc" is 0). Dates and times are numbers.
//
// Compile resolves every name against the bound names visible at that moment and keeps the
// VarRefs; evaluation reads the variables' current contents in place. Evaluation allocates
// nothing once warm (text functions write into buffers reserved at compile time, grown only
// when a memo is longer than its declared size), except when a number is given to a text
// function (it is formatted).
//
// A text that does not parse or names an unbound name gives an error Status whose text names
// the expression and the 1-based position: `Bad expression "A = " at 5: operand expected`.
// An empty (or blank) text compiles to an expression that is always true.
//
// An Expression is movable, not copyable. Evaluation is const but not thread-safe (it uses the
// expression's own scratch buffers).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/status.h"
#include "runtime/base/value.h"
#include "runtime/expr/bound_names.h"

namespace tdx {

// Error codes of expressions (the runtime's own codes stay below 1000).
inline constexpr int kExprSyntax = 1100;       // the text does not parse
inline constexpr int kExprUnknownName = 1101;  // the text names a name that is not bound

class Expression {
 public:
  Expression();
  ~Expression();
  Expression(Expression&&) noexcept;
  Expression& operator=(Expression&&) noexcept;
  Expression(const Expression&) = delete;
  Expression& operator=(const Expression&) = delete;

  static Result<Expression> Compile(std::string_view text,
                                    const BoundNames& names = BoundNames::global());

  // The text as compiled.
  const std::string& text() const;
  // True for the empty expression (always true).
  bool empty() const;

  // The truth of the expression for the variables' current contents. Allocation-free.
  bool test() const;
  // The value (for tests and callers that print it).
  Value value() const;

  // --- Analysis, for views: which parts of an "and" chain can narrow a read. ---

  // Tells which group (a view's file, numbered 0..63) a variable belongs to, or -1 for none
  // (a global, a local).
  using Classifier = std::function<int(const VarRef&)>;

  // `name = other` (or `other = name`, optionally with both sides in UPPER) where `name` is a
  // variable of `group` and `other` reads nothing of that group: a value of the group's field
  // that the term requires.
  struct Pin {
    int group = -1;
    VarRef field;             // the group's variable
    int other = -1;           // for value_of
    bool folds_case = false;  // both sides were wrapped in UPPER(...)
  };
  // One term of the top-level "and" chain (the whole expression when it is not an "and").
  struct Term {
    int node = -1;        // for test_term
    uint64_t groups = 0;  // bit g set when the term reads a variable of group g
    Pin pins[2];          // up to two (a field of each side); group -1 when unused
  };
  std::vector<Term> terms(const Classifier& classify) const;
  // Truth of one term's node / value of one node (REQUIRES: a node from terms()).
  bool test_term(int node) const;
  Value value_of(int node) const;

  struct Impl;  // the compiled form; opaque outside expression.cpp

 private:
  explicit Expression(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace tdx
