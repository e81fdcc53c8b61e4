// Manual Control: read or write any register by hand.
#include "EvalDlg.h"
#include "HexText.h"

namespace {
const QString kRegAddrOutOfRange = QStringLiteral("Reg Addr out of range (00-FF)");
const QString kDataOutOfRange = QStringLiteral("Data out of range (00-FF)");
}  // namespace

void CEvalDlg::OnManualWrite()
{
    pull();
    // A number that does not fit a byte is refused, not truncated: writing
    // 0xFF for a mistyped "1FF" could damage the board.
    const std::optional<uint32_t> reg = ParseHexUpTo(m_strRegAddr, 0xFF);
    const std::optional<uint32_t> value = ParseHexUpTo(m_strData, 0xFF);
    if (!reg)
        SetStatusText(kRegAddrOutOfRange);
    else if (!value)
        SetStatusText(kDataOutOfRange);
    else
        ChipWrite(uint8_t(*reg), uint8_t(*value));
    push();
}

void CEvalDlg::OnManualRead()
{
    pull();
    const std::optional<uint32_t> reg = ParseHexUpTo(m_strRegAddr, 0xFF);
    if (!reg) {
        SetStatusText(kRegAddrOutOfRange);
    } else {
        uint8_t value = 0;
        m_strData = ChipRead(uint8_t(*reg), value) ? HexText(value) : kUnreadText;
    }
    push();
}
