#pragma once
// The quality (0..100) with which the document's New Picture is written as
// JPEG. A value outside the range is refused and the dialog stays open.
#include "framework/CDialogBase.h"

class QLineEdit;
class QPushButton;

namespace lumacut {

class CDibDoc;

class CJpegQualityDlg : public CDialogBase {
    Q_OBJECT
public:
    explicit CJpegQualityDlg(QWidget* parent = nullptr);

    int m_quality = 0;

    QLineEdit* m_edit;   // 101
    QPushButton* m_ok;
    QPushButton* m_cancel;

protected:
    void DoDataExchange(CDataExchange& dx) override;
};

// The document's handler of "Jpeg Quality Output ...": OK stores the quality.
void OnJpegQuality(CDibDoc& doc);

} // namespace lumacut
