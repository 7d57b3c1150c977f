#include "model/phone_numbers.h"

namespace tarnik {

bool isInternationalNumber(const std::string& number)
{
    return number.size() <= 2 || number.front() == '+';
}

}  // namespace tarnik
