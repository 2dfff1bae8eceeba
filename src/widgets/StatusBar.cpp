#include "widgets/StatusBar.h"

#include "base/RuntimeError.h"
#include "base/Units.h"
#include "runtime/PictureBox.h"
#include "runtime/StatusBarWindow.h"
#include "runtime/Twips.h"

#include <limits>
#include <vector>

namespace skarvel {

namespace {

std::int32_t checked32(double value)
{
    const std::int64_t n = units::nearest(value);
    if (n < std::numeric_limits<std::int32_t>::min() || n > std::numeric_limits<std::int32_t>::max())
        throw RuntimeError(RuntimeError::Overflow, "Overflow");
    return std::int32_t(n);
}

} // namespace

StatusBar::~StatusBar()
{
    delete hBar.data();
}

QString StatusBar::GetText(std::int16_t iPart) const
{
    return hBar ? hBar->partText(iPart) : QString();
}

void StatusBar::Hide()
{
    if (hBar)
        hBar->hide();
}

void StatusBar::Show()
{
    if (hBar)
        hBar->show();
}

bool StatusBar::Create(QWidget& frmParent)
{
    if (hBar)
        return false;
    hBar = new StatusBarWindow(&frmParent);
    hBar->show();
    return true;
}

void StatusBar::Resize(QWidget&)
{
    if (hBar)
        hBar->dock();
}

void StatusBar::SetText(std::int16_t iPart, const QString& sText, std::int32_t)
{
    if (hBar)
        hBar->setPartText(iPart, sText);
}

void StatusBar::SetParts(std::int16_t iPartsNum, std::span<const std::int16_t> iPanel)
{
    if (iPartsNum < 1)
        throw RuntimeError(RuntimeError::SubscriptOutOfRange, "Subscript out of range");
    if (iPartsNum > 255)
        throw RuntimeError(RuntimeError::Overflow, "Overflow");
    if (iPanel.size() < std::size_t(iPartsNum))
        throw RuntimeError(RuntimeError::SubscriptOutOfRange, "Subscript out of range");
    std::vector<int> edges(iPanel.begin(), iPanel.begin() + iPartsNum);
    if (hBar)
        hBar->setParts(std::move(edges));
}

void StatusBar::SetToolTip(std::int16_t iPart, const QString& sToolTipText)
{
    if (hBar)
        hBar->setPartToolTip(iPart, sToolTipText);
}

void StatusBar::CopyObj(std::int16_t panel, PictureBox& obj)
{
    const QRect part = hBar ? hBar->partRect(panel) : QRect();
    const double tx = Screen::TwipsPerPixelX();
    const double ty = Screen::TwipsPerPixelY();
    // The part's edges as left, top, right + 1, bottom + 1, turned into twips.
    const std::int32_t top = checked32(part.top() * ty);
    const std::int32_t left = checked32(part.left() * tx);
    const std::int32_t height = checked32(double(part.bottom() + 1) * ty - top);
    const std::int32_t width = checked32(double(part.right() + 1) * tx - left);
    if (hBar)
        obj.setParent(hBar);
    obj.Move(checked32(double(left) + 15), checked32(double(top) + 15),
             checked32(double(width) - 30), checked32(double(height) - 30));
    obj.setVisible(true);
}

} // namespace skarvel
