#include "framework/DataExchange.h"

#include "platform/Messages.h"
#include "platform/Prompt.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>

#include <cmath>
#include <cstdio>

namespace lumacut {

std::optional<int> ParseIntText(const QString& text)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    int start = (t[0] == u'+' || t[0] == u'-') ? 1 : 0;
    if (start == t.size())
        return std::nullopt;
    for (int i = start; i < t.size(); ++i)
        if (t[i] < u'0' || t[i] > u'9')
            return std::nullopt;
    bool ok = false;
    int value = t.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

std::optional<double> ParseNumberText(const QString& text)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    // Only plain decimal notation: no "inf", "nan" or hexadecimal forms.
    for (QChar c : t)
        if (!(c.isDigit() || c == u'+' || c == u'-' || c == u'.' || c == u'e' || c == u'E'))
            return std::nullopt;
    bool ok = false;
    double value = t.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString NumberText(double value)
{
    return QString::number(value, 'g', 15);
}

std::string IntRangeMessage(int low, int high)
{
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, std::string(msg::kEnterIntegerRangeFormat).c_str(), low, high);
    return buffer;
}

std::string NumberRangeMessage(double low, double high)
{
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, std::string(msg::kEnterNumberRangeFormat).c_str(),
                  NumberText(low).toStdString().c_str(), NumberText(high).toStdString().c_str());
    return buffer;
}

void CDataExchange::Fail(QLineEdit* edit, const std::string& message)
{
    // A disabled field cannot take the focus nor be corrected: its member
    // keeps its last valid value and the pass goes on.
    if (!edit->isEnabled())
        return;
    m_failedField = edit;
    ShowMessage(message, PromptIcon::Warning);
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

bool CDataExchange::SaveInt(QLineEdit* edit, int& value, const std::optional<std::pair<int, int>>& range)
{
    std::optional<int> parsed = ParseIntText(edit->text());
    if (!parsed) {
        // A number too long for an int is still out of range, not "no integer".
        if (range && ParseNumberText(edit->text()) && edit->text().trimmed().indexOf(u'.') < 0)
            Fail(edit, IntRangeMessage(range->first, range->second));
        else
            Fail(edit, std::string(msg::kEnterInteger));
        return false;
    }
    if (range && (*parsed < range->first || *parsed > range->second)) {
        // The member keeps its last valid value: a refused 300 must not reach
        // the settings as its low byte.
        Fail(edit, IntRangeMessage(range->first, range->second));
        return false;
    }
    value = *parsed;
    return true;
}

void CDataExchange::Int(QLineEdit* edit, int& value)
{
    if (Failed())
        return;
    if (m_saveAndValidate)
        SaveInt(edit, value, std::nullopt);
    else
        edit->setText(QString::number(value));
}

void CDataExchange::Int(QLineEdit* edit, int& value, int low, int high)
{
    if (Failed())
        return;
    if (m_saveAndValidate)
        SaveInt(edit, value, std::make_pair(low, high));
    else
        edit->setText(QString::number(value));
}

void CDataExchange::Number(QLineEdit* edit, double& value, double low, double high)
{
    if (Failed())
        return;
    if (!m_saveAndValidate) {
        edit->setText(NumberText(value));
        return;
    }
    std::optional<double> parsed = ParseNumberText(edit->text());
    if (!parsed) {
        Fail(edit, std::string(msg::kEnterNumber));
        return;
    }
    if (*parsed < low || *parsed > high) {
        Fail(edit, NumberRangeMessage(low, high));
        return;
    }
    value = *parsed;
}

void CDataExchange::Check(QAbstractButton* box, int& value)
{
    if (Failed())
        return;
    if (m_saveAndValidate)
        value = box->isChecked() ? 1 : 0;
    else
        box->setChecked(value != 0);
}

void CDataExchange::Radio(const std::vector<QAbstractButton*>& group, int& value)
{
    if (Failed())
        return;
    if (m_saveAndValidate) {
        value = -1;
        for (std::size_t i = 0; i < group.size(); ++i)
            if (group[i]->isChecked())
                value = static_cast<int>(i);
        return;
    }
    for (std::size_t i = 0; i < group.size(); ++i) {
        // Exclusive groups refuse to uncheck their checked button directly.
        bool exclusive = group[i]->autoExclusive();
        group[i]->setAutoExclusive(false);
        group[i]->setChecked(static_cast<int>(i) == value);
        group[i]->setAutoExclusive(exclusive);
    }
}

void CDataExchange::Choice(QComboBox* list, int& value)
{
    if (Failed())
        return;
    if (m_saveAndValidate)
        value = list->currentIndex();
    else
        list->setCurrentIndex(value);
}

} // namespace lumacut
