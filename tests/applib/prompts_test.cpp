#include "app_context.h"
#include "gui_test_base.h"
#include "number_text.h"
#include "prompts.h"
#include "simulated_driver.h"
#include "table_test.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using testing_support::PrintTo;

// What the dialog was shown, and what it answers: the typed text for OK, or
// nothing for Cancel (the dialog then gives back its default text).
struct FakeDialog {
    std::optional<std::string> answer;
    int calls = 0;
    std::string title, prompt, defaultText;
};

// A chirp is 800 Hz then 700 Hz.
const std::vector<int> kOneChirp{1193180 / 800, 1193180 / 700};

class PromptTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SetDriverBackend(std::make_shared<platform::SimulatedDriver>(m_driver));
        SetInputDialog([this](const std::string& title, const std::string& prompt,
                              const std::string& defaultText) {
            ++m_dialog.calls;
            m_dialog.title = title;
            m_dialog.prompt = prompt;
            m_dialog.defaultText = defaultText;
            return m_dialog.answer.value_or(defaultText);
        });
    }

    // Starts the count after the speaker has been created and silenced.
    std::vector<int> chirps() const { return testing_support::ToneDivisors(m_driver); }

    testing_support::ContextGuard m_guard;
    testing_support::GuiSeamGuard m_guiGuard;
    platform::SimulatedDriver m_driver{platform::SimulatedDriver::Mode::Present, 603};
    FakeDialog m_dialog;
};

struct PromptCase {
    const char* name;
    int decimals;
    double low, high;
    double value;                      // before the prompt
    std::optional<std::string> answer; // nothing: Cancel
    bool accepted;
    double result;
    bool chirp;
};

class PromptCaseTest : public PromptTest, public ::testing::WithParamInterface<PromptCase> {};

TEST_P(PromptCaseTest, AcceptsLimitsOrRejects) {
    const PromptCase& c = GetParam();
    m_dialog.answer = c.answer;
    double value = c.value;
    EXPECT_EQ(PromptForValue("Enter a value", value, c.decimals, c.low, c.high), c.accepted);
    EXPECT_EQ(value, c.result);
    EXPECT_EQ(m_dialog.calls, 1);
    EXPECT_EQ(chirps(), c.chirp ? kOneChirp : std::vector<int>{});
}

const PromptCase kPromptCases[] = {
    // name, decimals, low, high, value, answer, accepted, result, chirp
    {"RangeBelowItsBound", 1, 0.1, 10000, 10.0, "0.05", true, 0.1, true},
    {"TxAntGainBelowItsBound", 1, -500, 500, 1.1, "-600", true, -500.0, true},
    {"AboveTheHighBound", 1, 0.1, 10000, 10.0, "20000", true, 10000.0, true},
    {"CancelWithAValueBelowTheBound", 0, 1, 500000000, 0.5, std::nullopt, true, 1.0, true},
    {"OkUnchangedWithAValueAboveTheBound", 0, 1, 50, 60.0, "60", true, 50.0, true},
    {"EmptyTextReadsAsZero", 1, 0.1, 10000, 2250.0, "", true, 0.1, true},
    {"HalfAccepted", 0, 1, 50, 15.0, "15.5", true, 15.5, false},
    {"LowBoundItself", 1, 0.1, 10000, 10.0, "0.1", true, 0.1, false},
    {"HighBoundItself", 1, -500, 500, 1.1, "500", true, 500.0, false},
    {"BoundsInEitherOrder", 1, 500, -500, 1.1, "-600", true, -500.0, true},
    // What is a number is ParseNumber's; a rejected text leaves the value.
    {"Letters", 1, 0.1, 10000, 10.0, "abc", false, 10.0, false},
    {"LettersEvenWhenTheValueIsOutOfRange", 0, 1, 500000000, 0.5, "abc", false, 0.5, false},
    // Where the separator is a full stop, a comma is not part of a number.
    {"DecimalComma", 1, 0.1, 10000, 10.0, "12,5", false, 10.0, false},
    // The unchanged default text is not read back: the value keeps every digit.
    {"CancelKeepsFullPrecision", 1, 0.1, 10000, 12.3456, std::nullopt, true, 12.3456, false},
    {"OkUnchangedKeepsFullPrecision", 1, 0.1, 10000, 12.3456, "12.3", true, 12.3456, false},
    {"EditedTextReplacesThePrecision", 1, 0.1, 10000, 12.3456, "12.30", true, 12.3, false},
};

INSTANTIATE_TEST_SUITE_P(Answers, PromptCaseTest, ::testing::ValuesIn(kPromptCases),
                         testing_support::RowName{});

struct TextCase {
    const char* name;
    const char* separator;
    int decimals;
    double low, high, value;
    const char* title;
    const char* defaultText;
};

class PromptTextTest : public PromptTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(PromptTextTest, ShowsRangeInTitleAndValueAsDefault) {
    const TextCase& c = GetParam();
    SetDecimalSeparator(c.separator);
    double value = c.value;
    EXPECT_TRUE(PromptForValue("Enter the range (miles)", value, c.decimals, c.low, c.high));
    EXPECT_EQ(m_dialog.title, c.title);
    EXPECT_EQ(m_dialog.prompt, "Enter the range (miles)");
    EXPECT_EQ(m_dialog.defaultText, c.defaultText);
    EXPECT_EQ(value, c.value) << "the untouched default text must not change the value";
}

const TextCase kTextCases[] = {
    {"Range", ".", 1, 0.1, 10000, 10.0, "Input Value between 0.1 & 10000.0", "10.0"},
    {"BitRate", ".", 0, 1, 500000000, 1000.0, "Input Value between 1 & 500000000", "1000"},
    {"HalfRoundsAwayFromZero", ".", 0, 1, 50, 15.5, "Input Value between 1 & 50", "16"},
    {"NegativeBound", ".", 1, -500, 500, -50.0, "Input Value between -500.0 & 500.0", "-50.0"},
    {"UsersDecimalComma", ",", 1, 0.1, 10000, 10.0, "Input Value between 0,1 & 10000,0", "10,0"},
};

INSTANTIATE_TEST_SUITE_P(Texts, PromptTextTest, ::testing::ValuesIn(kTextCases),
                         testing_support::RowName{});

// After 15.5 has been accepted, the next prompt offers it rounded.
TEST_F(PromptTest, AcceptedHalfIsOfferedRoundedNextTime) {
    double value = 15.0;
    m_dialog.answer = "15.5";
    ASSERT_TRUE(PromptForValue("Enter the minimum Eb/No desired", value, 0, 1, 50));
    m_dialog.answer.reset();
    ASSERT_TRUE(PromptForValue("Enter the minimum Eb/No desired", value, 0, 1, 50));
    EXPECT_EQ(m_dialog.defaultText, "16");
    EXPECT_EQ(value, 15.5);
}

// Without the hardware driver the cue is silent and the value is still limited.
TEST_F(PromptTest, MuteSpeakerStillLimitsTheValue) {
    platform::SimulatedDriver absent(platform::SimulatedDriver::Mode::Absent);
    platform::SetDriverBackend(std::make_shared<platform::SimulatedDriver>(absent));
    double value = 10.0;
    m_dialog.answer = "0.05";
    EXPECT_TRUE(PromptForValue("Enter the range (miles)", value, 1, 0.1, 10000));
    EXPECT_EQ(value, 0.1);
    EXPECT_TRUE(absent.Transfers().empty());
    EXPECT_TRUE(chirps().empty());
}

// With decimal commas on screen the default reads "10,0", and a value typed
// with the user's comma is read; a full stop still reads, two separators not.
TEST_F(PromptTest, UserDecimalCommaIsReadBack) {
    SetDecimalSeparator(",");
    struct Case {
        const char* typed;
        bool accepted;
        double value;
    };
    for (const Case& c : {Case{"10,5", true, 10.5}, Case{"2.25", true, 2.25},
                          Case{"1,2,3", false, 10.0}, Case{"1.234,5", false, 10.0}}) {
        double value = 10.0;
        m_dialog.answer = c.typed;
        EXPECT_EQ(PromptForValue("Enter the range (miles)", value, 1, 0.1, 10000), c.accepted)
            << c.typed;
        EXPECT_EQ(m_dialog.defaultText, "10,0");
        EXPECT_EQ(value, c.value) << c.typed;
    }
}

} // namespace
