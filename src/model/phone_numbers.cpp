#include "model/phone_numbers.h"

namespace tarnik {

bool IsInternationalNumber(const std::string& number)
{
    return number.size() <= 2 || number.front() == '+';
}

}  // namespace tarnik
