#pragma once
// Dialog data exchange: one pass copies a dialog's plain members into its
// controls (load) or back (save and validate). A field that does not parse or
// lies outside its range shows the standard message, keeps the focus with its
// text selected, and ends the pass: the fields after it are not exchanged and
// their members keep their values. A refused field's own member keeps its
// last valid value too. A disabled field with a bad value is skipped
// silently, since the user could not correct it.
#include <QString>

#include <optional>
#include <string>
#include <vector>

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QWidget;

namespace lumacut {

// ---- text <-> number, without widgets -------------------------------------------
// A whole number with optional sign and surrounding blanks; nullopt otherwise
// (also when it does not fit an int).
std::optional<int> ParseIntText(const QString& text);
// A decimal number (optionally with exponent); nullopt when not a finite number.
std::optional<double> ParseNumberText(const QString& text);
// The text a number field shows: 15 significant digits, no trailing zeros.
QString NumberText(double value);
// The standard range messages.
std::string IntRangeMessage(int low, int high);
std::string NumberRangeMessage(double low, double high);

// ---- one exchange pass ----------------------------------------------------------
class CDataExchange {
public:
    explicit CDataExchange(bool saveAndValidate) : m_saveAndValidate(saveAndValidate) {}

    bool Saving() const { return m_saveAndValidate; }
    // A field was refused; the rest of the pass did nothing.
    bool Failed() const { return m_failedField != nullptr; }
    QWidget* FailedField() const { return m_failedField; }

    void Int(QLineEdit* edit, int& value);
    void Int(QLineEdit* edit, int& value, int low, int high);
    void Number(QLineEdit* edit, double& value, double low, double high);
    // Check box <-> 0 or 1.
    void Check(QAbstractButton* box, int& value);
    // Radio group <-> index of the checked button, -1 for none.
    void Radio(const std::vector<QAbstractButton*>& group, int& value);
    // Drop-down list <-> index of the chosen entry.
    void Choice(QComboBox* list, int& value);

private:
    void Fail(QLineEdit* edit, const std::string& message);
    bool SaveInt(QLineEdit* edit, int& value, const std::optional<std::pair<int, int>>& range);

    bool m_saveAndValidate;
    QWidget* m_failedField = nullptr;
};

} // namespace lumacut
