// The framer's event order and its edge cases, fed directly and through a port.

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "hand_over_loop.h"
#include "pty_pair.h"
#include "serial/comport.h"
#include "serial/datapacket.h"

namespace tarnik {
namespace {

// Records every event of a framer as "kind:text".
struct Recorder {
    std::vector<std::string> log;
    void Attach(TComDataPacket& f, bool customStop = false)
    {
        f.OnPacket = [this](TComDataPacket&, const std::string& s) {
            log.push_back("packet:" + s);
        };
        f.OnDiscard = [this](TComDataPacket&, const std::string& s) {
            log.push_back("discard:" + s);
        };
        if (customStop)
            f.OnCustomStop = [this](TComDataPacket&, const std::string& s, int&) {
                log.push_back("stop:" + s);
            };
    }
};

using Log = std::vector<std::string>;

// The tool's configuration: stop string "*1" and an answer handler on OnCustomStop.
struct ProgramFramer {
    TComDataPacket framer;
    Recorder rec;
    ProgramFramer()
    {
        framer.SetStopString("*1");
        rec.Attach(framer, true);
    }
};

TEST(FramerProgramConfiguration, AnswerSplitOverTwoPieces)
{
    ProgramFramer p;
    p.framer.FeedData("OK");
    p.framer.FeedData("*1");
    EXPECT_EQ(p.rec.log, (Log{"stop:OK", "stop:OK*1", "packet:OK", "stop:"}));
    EXPECT_EQ(p.framer.Buffer(), "");
}

TEST(FramerProgramConfiguration, SeveralAnswersInOnePiece)
{
    ProgramFramer p;
    p.framer.FeedData("A*1B*1C");
    EXPECT_EQ(p.rec.log, (Log{"stop:A*1B*1C", "packet:A", "stop:B*1C", "packet:B", "stop:C"}));
    EXPECT_EQ(p.framer.Buffer(), "C");
}

TEST(FramerProgramConfiguration, FullBufferWithoutStopIsDiscarded)
{
    ProgramFramer p;
    const std::string big(1024, 'z');
    p.framer.FeedData(big.substr(0, 1000));
    EXPECT_EQ(p.framer.Buffer().size(), 1000u);
    p.framer.FeedData(big.substr(1000));
    EXPECT_EQ(p.rec.log.back(), "discard:" + big);
    EXPECT_EQ(p.framer.Buffer(), "");
    EXPECT_FALSE(p.framer.InPacket());
}

TEST(FramerProgramConfiguration, DiscardFromTheStopHandlerClosesAnEmptyPacketAndStops)
{
    TComDataPacket f;
    Recorder rec;
    rec.Attach(f);
    f.SetStopString("*1");
    f.OnCustomStop = [&](TComDataPacket& self, const std::string& s, int&) {
        rec.log.push_back("stop:" + s);
        self.DiscardBuffer();
    };
    f.FeedData("raw answer");
    EXPECT_EQ(rec.log, (Log{"stop:raw answer", "discard:raw answer", "packet:", "stop:"}));
    EXPECT_EQ(f.Buffer(), "");
    EXPECT_TRUE(f.InPacket());  // an empty discard leaves the flag as it was
}

TEST(FramerProgramConfiguration, StopHandlerThatAlwaysAnswersCannotLoopForever)
{
    TComDataPacket f;
    int packets = 0;
    f.OnPacket = [&](TComDataPacket&, const std::string&) { ++packets; };
    f.OnCustomStop = [](TComDataPacket&, const std::string&, int& pos) { pos = 1; };
    f.FeedData("abc");
    EXPECT_EQ(packets, 4);  // 'a', 'b', 'c', then one empty packet ends it
    EXPECT_EQ(f.Buffer(), "");
}

TEST(FramerRules, WithoutAStopRuleEveryPieceIsAPacket)
{
    TComDataPacket f;
    Recorder rec;
    rec.Attach(f);
    f.FeedData("one");
    f.FeedData("two*1");
    EXPECT_EQ(rec.log, (Log{"packet:one", "packet:two*1"}));
    EXPECT_EQ(f.Buffer(), "");
}

TEST(FramerRules, StartAndStopStrings)
{
    TComDataPacket f;
    Recorder rec;
    rec.Attach(f);
    f.SetStartString("S");
    f.SetStopString("E");
    f.FeedData("xxSabE");
    EXPECT_EQ(rec.log, (Log{"discard:xx", "packet:ab"}));

    rec.log.clear();
    f.SetIncludeStrings(true);
    f.FeedData("SEE");  // the stop is searched after the start string
    EXPECT_EQ(rec.log, (Log{"packet:SE"}));
    EXPECT_EQ(f.Buffer(), "E");
}

TEST(FramerRules, SizeIsTriedBeforeTheStopString)
{
    TComDataPacket f;
    Recorder rec;
    rec.Attach(f);
    f.SetStopString("*1");
    f.SetSize(4);
    f.FeedData("abcdef");
    EXPECT_EQ(rec.log, (Log{"packet:abcd"}));
    EXPECT_EQ(f.Buffer(), "ef");
}

TEST(FramerRules, CaseInsensitiveMatchKeepsTheBytesAsReceived)
{
    TComDataPacket f;
    Recorder rec;
    rec.Attach(f);
    f.SetCaseInsensitive(true);
    f.SetStopString("*ok");
    f.FeedData("x*OK");
    EXPECT_EQ(rec.log, (Log{"packet:x"}));

    rec.log.clear();
    f.SetIncludeStrings(true);
    f.FeedData("y*Ok");
    EXPECT_EQ(rec.log, (Log{"packet:y*Ok"}));
}

TEST(FramerRules, FoldingTouchesOnlyAsciiLetters)
{
    TComDataPacket f;
    Recorder rec;
    rec.Attach(f);
    f.SetCaseInsensitive(true);
    f.SetStopString("\xe9");  // 0xE9 must not match 0xC9
    f.FeedData("a\xc9"
               "b\xe9");
    EXPECT_EQ(rec.log, (Log{"packet:a\xc9"
                            "b"}));
}

TEST(FramerRules, EveryByteValueIsAnOrdinaryCharacter)
{
    TComDataPacket f;
    Recorder rec;
    rec.Attach(f);
    f.SetStopString(std::string("\0\xff", 2));
    const std::string all = test::allByteValues();
    f.FeedData(all + std::string("\0\xff", 2));
    ASSERT_EQ(rec.log.size(), 1u);
    EXPECT_EQ(rec.log[0], "packet:" + all);
}

TEST(FramerRules, CustomStartOpensAtItsPosition)
{
    TComDataPacket f;
    Recorder rec;
    rec.Attach(f);
    f.SetStopString("!");
    f.OnCustomStart = [](TComDataPacket&, const std::string& s, int& pos) {
        const auto p = s.find('#');
        pos = p == std::string::npos ? 0 : static_cast<int>(p) + 1;
    };
    f.FeedData("noise");
    EXPECT_TRUE(rec.log.empty());  // 0: stays outside a packet
    f.FeedData("#data!");
    EXPECT_EQ(rec.log, (Log{"discard:noise", "packet:#data"}));
}

TEST(FramerSettings, ChangingARuleDiscardsTheBufferButTheSameValueDoesNot)
{
    TComDataPacket f;
    Recorder rec;
    rec.Attach(f);
    f.SetStopString("*1");
    f.FeedData("partial");
    f.SetStopString("*1");
    EXPECT_TRUE(rec.log.empty());
    f.SetStopString("*2");
    EXPECT_EQ(rec.log, (Log{"discard:partial"}));
    EXPECT_EQ(f.Buffer(), "");

    rec.log.clear();
    f.DiscardBuffer();  // empty: nothing fires
    EXPECT_TRUE(rec.log.empty());
}

TEST(FramerFailures, HandlerErrorLeavesTheBufferAndStillAppliesTheLimit)
{
    TComDataPacket f;
    f.SetStopString("*1");
    f.SetMaxBufferSize(8);
    std::vector<std::string> discarded;
    f.OnDiscard = [&](TComDataPacket&, const std::string& s) { discarded.push_back(s); };
    f.OnCustomStop = [](TComDataPacket&, const std::string& s, int&) {
        if (s.find('!') != std::string::npos)
            throw std::runtime_error("handler");
    };
    EXPECT_THROW(f.FeedData("ab!"), std::runtime_error);
    EXPECT_EQ(f.Buffer(), "ab!");
    EXPECT_TRUE(f.InPacket());
    EXPECT_THROW(f.FeedData("cdefg"), std::runtime_error);  // reaches 8 on the error path
    EXPECT_EQ(discarded, std::vector<std::string>{"ab!cdefg"});
    EXPECT_EQ(f.Buffer(), "");
}

TEST(FramerFailures, DiscardEmptiesEvenWhenItsHandlerFails)
{
    TComDataPacket f;
    f.SetStopString("*1");
    f.OnDiscard = [](TComDataPacket&, const std::string&) { throw std::runtime_error("discard"); };
    f.FeedData("abc");
    EXPECT_THROW(f.DiscardBuffer(), std::runtime_error);
    EXPECT_EQ(f.Buffer(), "");
    EXPECT_FALSE(f.InPacket());
}

TEST(FramerPort, AttachesToItsPortAndForgetsAPortThatGoes)
{
    TComDataPacket f;
    {
        TComPort port;
        f.SetComPort(&port);
        EXPECT_EQ(f.ComPort(), &port);
        TComPort other;
        f.SetComPort(&other);  // moves the link
        TComLink probe;
        port.AttachLink(&probe);  // the old port no longer holds the framer's link
        port.DetachLink(&probe);
        f.SetComPort(&port);
    }
    EXPECT_EQ(f.ComPort(), nullptr);
}

TEST(FramerPort, ReceivesWhatThePortReads)
{
    test::PtyPair pty;
    test::UiLoop ui;
    TComPort port;
    port.SetHandOver(ui.handOver);
    port.SetPort(pty.SlavePath());
    ProgramFramer p;
    p.framer.SetComPort(&port);
    port.Open();
    pty.WriteMaster("*2*1");
    ASSERT_TRUE(ui.pumpUntil([&] {
        return p.framer.Buffer().empty() && !p.rec.log.empty() && p.rec.log.back() == "stop:";
    }));
    EXPECT_NE(std::find(p.rec.log.begin(), p.rec.log.end(), "packet:*2"), p.rec.log.end());
}

}  // namespace
}  // namespace tarnik
