// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/notes/noteautosave.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace tavlo {
namespace {

using namespace std::chrono_literals;

// Something that happens to the note at a time in ms, and when the next write
// is due afterwards (-1: none). Write runs a whole write at once; Begin and
// the Ends apart let edits and flushes land while one is under way.
// clang-format off
enum class Op { Edit, Flush, Write, Begin, EndOk, EndFailed };
using enum Op;
struct Step { Op op; int at, due; };
struct Case { const char *name; bool fileHoldsText; std::vector<Step> steps; };
void PrintTo(const Case &c, std::ostream *os) { *os << c.name; }

const Case kCases[] = {
    {"TwoSecondsAfterTheLastKey", true, {{Flush, 0, -1}, {Edit, 0, 2000}, {Write, 2000, -1}, {Flush, 3000, -1}}},
    {"EveryTwoSecondsWhileTypingGoesOn", true, {{Edit, 0, 2000}, {Edit, 1500, 2000}, {Write, 2000, -1}, {Edit, 2100, 4100}}},
    {"AtOnceOnFocusLossCloseOrQuit", true, {{Edit, 0, 2000}, {Flush, 300, 300}, {Edit, 400, 300}, {Write, 400, -1}}},
    {"ANewNoteIsWrittenAtTheFirstFlush", false, {{Flush, 5000, 5000}, {Write, 5000, -1}, {Flush, 6000, -1}}},
    {"KeysDuringAWriteAreSavedAfterIt", true, {{Edit, 0, 2000}, {Begin, 2000, -1}, {Edit, 2010, -1}, {EndOk, 2020, 4010},
        {Begin, 4010, -1}, {Edit, 4011, -1}, {Flush, 4015, -1}, {EndOk, 4020, 4015}}},
    {"AFailedWriteIsTriedAgain", true, {{Edit, 0, 2000}, {Begin, 2000, -1}, {EndFailed, 2030, 4030},
        {Begin, 4030, -1}, {Flush, 4035, -1}, {EndFailed, 4040, 4035}}},
};
// clang-format on

using NoteAutosaveTest = testing::TestWithParam<Case>;

TEST_P(NoteAutosaveTest, WritesWhenDue)
{
    const NoteAutosave::TimePoint zero{};
    NoteAutosave autosave(GetParam().fileHoldsText);
    quint64 ticket = 0;
    bool writing = false;
    for (const Step &step : GetParam().steps) {
        SCOPED_TRACE(step.at);
        const auto at = zero + std::chrono::milliseconds(step.at);
        if (step.op == Op::Write || step.op == Op::Begin) {
            ASSERT_TRUE(autosave.isDue(at));
            ticket = autosave.beginWrite();
        }
        if (step.op == Op::Edit)
            autosave.edited(at);
        else if (step.op == Op::Flush)
            autosave.flush(at);
        else if (step.op != Op::Begin)
            autosave.finishWrite(ticket, step.op != Op::EndFailed, at);
        writing = step.op == Op::Begin || (writing && step.op < Op::Write);
        const auto due = autosave.dueAt();
        EXPECT_EQ(due ? int((*due - zero) / 1ms) : -1, step.due);
        EXPECT_EQ(autosave.isWriting(), writing);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, NoteAutosaveTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case> &info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace tavlo
