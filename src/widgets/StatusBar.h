#pragma once

#include "runtime/StatusBarWindow.h"

#include <QPointer>
#include <QString>

#include <cstdint>
#include <span>

class QWidget;

namespace skarvel {

class PictureBox;

// The window's status bar: one StatusBarWindow made on a form, divided into parts, with texts
// and tooltips, able to take a control into a part. The window goes when the object goes,
// together with the controls moved into it.
class StatusBar {
public:
    StatusBar() = default;
    ~StatusBar();
    StatusBar(const StatusBar&) = delete;
    StatusBar& operator=(const StatusBar&) = delete;

    // Text of part iPart; "" for a part never written or missing.
    QString GetText(std::int16_t iPart) const;
    void Hide();
    void Show();
    // Makes the bar on frmParent. True only when this call made it.
    bool Create(QWidget& frmParent);
    // Brings the bar back to the bottom of frmParent, full width.
    void Resize(QWidget& frmParent);
    StatusBarWindow* hWnd() const { return hBar; }
    void SetText(std::int16_t iPart, const QString& sText, std::int32_t lStyle = 0);
    // Right edges of the first iPartsNum parts, in pixels, -1 for up to the right end.
    // Throws RuntimeError for iPartsNum outside 1..255 or an iPanel shorter than that.
    void SetParts(std::int16_t iPartsNum, std::span<const std::int16_t> iPanel);
    void SetToolTip(std::int16_t iPart, const QString& sToolTipText);
    // Moves obj into part `panel`, one pixel (15 twips) in from each side, and shows it.
    void CopyObj(std::int16_t panel, PictureBox& obj);

private:
    QPointer<StatusBarWindow> hBar;
};

} // namespace skarvel
