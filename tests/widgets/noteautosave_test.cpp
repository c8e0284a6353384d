#include "widgets/notes/noteautosave.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tavlo {
namespace {

using namespace std::chrono_literals;

// What happens to the note, at a time in ms, and when the next write is due
// afterwards (-1: none). Write runs a write from begin to end at the given
// time; Begin and End apart let edits and flushes land while one is under way.
enum class Op { Edit, Flush, Write, Begin, EndOk, EndFailed };
struct Step
{
    Op op;
    int at;
    int due;
};
struct Case
{
    const char *name;
    bool fileHoldsText;
    std::vector<Step> steps;
};

const Case kCases[] = {
    {"NothingTypedNothingDue", true, {{Op::Flush, 0, -1}}},
    {"SavedTwoSecondsAfterTheLastKey",
     true,
     {{Op::Edit, 0, 2000}, {Op::Edit, 500, 2500}, {Op::Edit, 1900, 3900}, {Op::Write, 3900, -1}}},
    {"LongTypingIsSavedEveryTenSeconds",
     true,
     {{Op::Edit, 0, 2000},
      {Op::Edit, 1500, 3500},
      {Op::Edit, 8500, 10000},
      {Op::Edit, 9900, 10000},
      {Op::Write, 10000, -1},
      {Op::Edit, 10100, 12100}}},
    {"FocusLossCloseOrQuitSavesAtOnce",
     true,
     {{Op::Edit, 0, 2000}, {Op::Flush, 300, 300}, {Op::Edit, 400, 300}, {Op::Write, 400, -1}}},
    {"ANewNoteOnceWrittenIsUpToDate",
     false,
     {{Op::Edit, 0, 2000}, {Op::Write, 2000, -1}, {Op::Flush, 3000, -1}}},
    {"ANewNoteUntouchedWaitsForAFlush", false, {{Op::Flush, 5000, 5000}, {Op::Write, 5000, -1}}},
    {"KeysDuringAWriteAreSavedAfterIt",
     true,
     {{Op::Edit, 0, 2000},
      {Op::Begin, 2000, -1},
      {Op::Edit, 2010, -1},
      {Op::EndOk, 2020, 4010},
      {Op::Write, 4010, -1}}},
    {"AFlushDuringAWriteWritesAgainAtOnce",
     true,
     {{Op::Edit, 0, 2000},
      {Op::Begin, 2000, -1},
      {Op::Edit, 2010, -1},
      {Op::Flush, 2015, -1},
      {Op::EndOk, 2020, 2015}}},
    {"AFailedWriteIsTriedAgainLater",
     true,
     {{Op::Edit, 0, 2000},
      {Op::Begin, 2000, -1},
      {Op::EndFailed, 2030, 4030},
      {Op::Begin, 4030, -1},
      {Op::EndOk, 4040, -1}}},
    {"AFailedWriteAfterAFlushIsTriedAtOnce",
     true,
     {{Op::Edit, 0, 2000},
      {Op::Begin, 2000, -1},
      {Op::Flush, 2010, -1},
      {Op::EndFailed, 2030, 2010}}},
};

class NoteAutosaveTest : public testing::TestWithParam<Case>
{};

TEST_P(NoteAutosaveTest, WritesWhenDue)
{
    const NoteAutosave::TimePoint zero{};
    NoteAutosave autosave(GetParam().fileHoldsText);
    quint64 ticket = 0;
    for (const Step &step : GetParam().steps) {
        const auto at = zero + std::chrono::milliseconds(step.at);
        SCOPED_TRACE(step.at);
        switch (step.op) {
        case Op::Edit:
            autosave.edited(at);
            break;
        case Op::Flush:
            autosave.flush(at);
            break;
        case Op::Write:
            ASSERT_TRUE(autosave.isDue(at));
            autosave.finishWrite(autosave.beginWrite(), true, at);
            break;
        case Op::Begin:
            ASSERT_TRUE(autosave.isDue(at));
            ticket = autosave.beginWrite();
            EXPECT_TRUE(autosave.isWriting());
            break;
        case Op::EndOk:
        case Op::EndFailed:
            autosave.finishWrite(ticket, step.op == Op::EndOk, at);
            break;
        }
        const std::optional<int> due = step.due < 0 ? std::nullopt : std::optional(step.due);
        const auto dueAt = autosave.dueAt();
        EXPECT_EQ(dueAt ? std::optional(int((*dueAt - zero) / 1ms)) : std::nullopt, due);
    }
    EXPECT_EQ(autosave.isDirty(), autosave.isWriting() || autosave.dueAt().has_value());
}

INSTANTIATE_TEST_SUITE_P(Cases, NoteAutosaveTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case> &info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace tavlo
