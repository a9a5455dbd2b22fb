// Dialog data exchange: number parsing, the standard range messages, and a
// pass that stops at the first refused field.
#include "framework/DataExchange.h"

#include "support/ScriptedGuiPrompt.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QWidget>

#include <gtest/gtest.h>

using namespace lumacut;

TEST(DataExchangeText, WholeNumbersOnly)
{
    struct {
        const char* text;
        std::optional<int> value;
    } cases[] = {{"0", 0},         {" 42 ", 42},     {"-7", -7},          {"+3", 3},
                 {"", std::nullopt}, {"4.5", std::nullopt}, {"12a", std::nullopt}, {"-", std::nullopt},
                 {"2147483647", 2147483647}, {"2147483648", std::nullopt}, {"1e3", std::nullopt}};
    for (auto& c : cases)
        EXPECT_EQ(ParseIntText(c.text), c.value) << c.text;
}

TEST(DataExchangeText, DecimalNumbers)
{
    EXPECT_EQ(ParseNumberText("1.0004"), 1.0004);
    EXPECT_EQ(ParseNumberText(" 2 "), 2.0);
    EXPECT_EQ(ParseNumberText("1e-3"), 0.001);
    EXPECT_EQ(ParseNumberText("inf"), std::nullopt);
    EXPECT_EQ(ParseNumberText("nan"), std::nullopt);
    EXPECT_EQ(ParseNumberText("0x10"), std::nullopt);
    EXPECT_EQ(ParseNumberText("1e999"), std::nullopt);
    EXPECT_EQ(ParseNumberText("1,5"), std::nullopt);
    EXPECT_EQ(NumberText(1.0), "1");
    EXPECT_EQ(NumberText(0.001), "0.001");
}

TEST(DataExchangeText, RangeMessages)
{
    EXPECT_EQ(IntRangeMessage(0, 100), "Enter an integer between 0 and 100.");
    EXPECT_EQ(IntRangeMessage(0, 255), "Enter an integer between 0 and 255.");
    EXPECT_EQ(NumberRangeMessage(0.001, 10), "Enter a number between 0.001 and 10.");
}

TEST(DataExchangePass, StopsAtTheFirstRefusedFieldAndKeepsLaterMembers)
{
    ScriptedGuiPrompt prompt;
    ScopedGuiPrompt scoped(prompt);
    QWidget form;
    auto* a = new QLineEdit(&form);
    auto* b = new QLineEdit(&form);
    auto* box = new QCheckBox(&form);
    std::vector<QAbstractButton*> radios{new QRadioButton(&form), new QRadioButton(&form)};
    int va = 1, vb = 2, vbox = 0, vradio = 1;

    {
        CDataExchange load(false);
        load.Int(a, va, 0, 10);
        load.Int(b, vb, 0, 10);
        load.Check(box, vbox);
        load.Radio(radios, vradio);
    }
    EXPECT_EQ(a->text(), "1");
    EXPECT_TRUE(radios[1]->isChecked());

    a->setText("5");
    b->setText("11");
    box->setChecked(true);
    radios[0]->setChecked(true);
    CDataExchange save(true);
    save.Int(a, va, 0, 10);
    save.Int(b, vb, 0, 10);
    save.Check(box, vbox);
    save.Radio(radios, vradio);
    EXPECT_TRUE(save.Failed());
    EXPECT_EQ(save.FailedField(), b);
    EXPECT_EQ(va, 5) << "exchanged before the refused field";
    EXPECT_EQ(vb, 2) << "the refused member keeps its valid value";
    EXPECT_EQ(vbox, 0) << "not exchanged after it";
    EXPECT_EQ(vradio, 1);
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Enter an integer between 0 and 10."});
}
