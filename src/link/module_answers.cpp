#include "link/module_answers.h"

#include <algorithm>

#include "link/link_texts.h"
#include "link/protocol.h"
#include "model/polish_plural.h"

namespace tarnik {

namespace {

using protocol::kTerminator;

// Where the terminator of the read-back answer stands: after the lead byte and the image.
constexpr std::size_t kReadBackEnd = protocol::kReadBackLeadBytes + protocol::kReadBackImageBytes;
constexpr std::size_t kReadBackStoreLimit = 2 * protocol::kReadBackAnswerBytes;
constexpr std::size_t kSerialStoreLimit = 256;

}  // namespace

ReadBackJudgement judgeReadBackAnswer(std::span<const std::uint8_t> received)
{
    if (received.size() < protocol::kReadBackAnswerBytes)
        return {AnswerVerdict::Incomplete, received.size()};
    const auto from = received.begin() + static_cast<std::ptrdiff_t>(kReadBackEnd);
    const auto end = std::search(from, received.end(), kTerminator.begin(), kTerminator.end());
    if (end == received.end()) {
        const bool flooded = received.size() > kReadBackStoreLimit;
        return {flooded ? AnswerVerdict::Refused : AnswerVerdict::Incomplete, received.size()};
    }
    const bool exact = end == from && received.size() == protocol::kReadBackAnswerBytes;
    return {exact ? AnswerVerdict::Taken : AnswerVerdict::Refused, received.size()};
}

SerialJudgement judgeSerialAnswer(std::string_view received)
{
    const std::size_t end = received.find(protocol::kSerialEnd);
    if (end == std::string_view::npos) {
        const bool flooded = received.size() > kSerialStoreLimit;
        return {flooded ? AnswerVerdict::Refused : AnswerVerdict::Incomplete, {}};
    }
    const std::string_view number = received.substr(0, end);
    const bool exact = end + protocol::kSerialEnd.size() == received.size() &&
                       number.find(kTerminator) == std::string_view::npos;
    if (!exact)
        return {AnswerVerdict::Refused, {}};
    return {AnswerVerdict::Taken, std::string(number)};
}

std::string readBackLengthLine(std::size_t received)
{
    return link_text::kAnswerLength +
           countedNoun(static_cast<long long>(received), "bajt", "bajty", "bajtów") + " zamiast " +
           std::to_string(protocol::kReadBackAnswerBytes) + link_text::kAnswerNotTaken;
}

}  // namespace tarnik
