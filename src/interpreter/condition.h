// The condition language of if, elseif, while, change entries and move candidates.
//
// A condition is raw text: terms separated by "&" or "|", each found by the first keyword it
// contains, in this order: item, flag, check (entry set), hpmax, gutsmax, hp, guts, paraD,
// route, time M (comparisons), from NAME, read. "(1)"/"( 1 )" anywhere makes the whole text
// true, else "(0)"/"( 0 )" false. A "&" anywhere combines every term with AND, else a "|"
// with OR. A "!" anywhere in a term inverts it.
#pragma once

// 1 or 0 (a single term answers its value as such). previous is the caller's last block code;
// it does not change the result. A term without a keyword is a fatal error.
int ifthrough(const char* condition, int previous);

// 1 when entry N of the table is at least 1; N is the number at the first digit or operator
// character at or after pos. Entries outside the table count as 0.
int ifchecking1(const char* pos, const int* table, int size);

// value compared with the operator (>, <, =, each optionally followed by =) and the number at
// or after pos; 0 when no operator stands before the number.
int ifchecking2(const char* pos, int value);

// The keywords above, in their order.
constexpr int kConditionKeywordCount = 12;

// The index (0 to kConditionKeywordCount - 1) of the first keyword, in the order above, that
// term contains, with *at set to where it stands; -1 when it contains none.
int conditionKeyword(const char* term, const char** at);

// The keyword of index k ("item", "flag" ...), or "" outside the list.
const char* conditionKeywordName(int k);
