// Manual Control: read or write any register by hand.
#include "DeviceLink.h"
#include "EvalDlg.h"
#include "HexText.h"

namespace {
const TypedField kRegAddr{"Reg Addr", 0xFF, "00-FF"};
const TypedField kData{"Data", 0xFF, "00-FF"};
}  // namespace

void CEvalDlg::OnManualWrite()
{
    pull();
    // Only a whole number that fits a byte is written: writing 0xFF for a
    // mistyped "1FF", or 00 to register 00 for "zz", could damage the board.
    if (const std::optional<uint32_t> reg = TypedNumber(kRegAddr, m_strRegAddr)) {
        if (const std::optional<uint32_t> value = TypedNumber(kData, m_strData))
            ChipWrite(uint8_t(*reg), uint8_t(*value));
    }
    push();
}

void CEvalDlg::OnManualRead()
{
    pull();
    if (const std::optional<uint32_t> reg = TypedNumber(kRegAddr, m_strRegAddr)) {
        uint8_t value = 0;
        const bool read = ChipRead(uint8_t(*reg), value);
        m_strData = read ? HexText(value) : kUnreadText;
        if (!read) {
            const QString cause = QString::fromStdString(LinkAccessFailure());
            SetFailureText(QStringLiteral("Read of %1 failed").arg(HexText(uint8_t(*reg))) +
                           (cause.isEmpty() ? QString() : QStringLiteral(": ") + cause));
        }
    }
    push();
}
