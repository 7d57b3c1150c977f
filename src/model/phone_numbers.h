#pragma once

// The rule a user's phone number must meet before programming.

#include <string>

namespace tarnik {

// The international-form rule of CheckUserNumbers for one number: a text longer than
// 2 characters must begin with "+"; shorter texts pass; blanks are not trimmed.
bool isInternationalNumber(const std::string& number);

}  // namespace tarnik
