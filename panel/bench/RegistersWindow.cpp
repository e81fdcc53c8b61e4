#include "RegistersWindow.h"

#include "DeviceLink.h"
#include "EvalDlg.h"
#include "FieldEditor.h"
#include "FieldValues.h"
#include "FieldWrite.h"
#include "HexText.h"
#include "RegisterFilter.h"
#include "RegisterTree.h"
#include "StdText.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <functional>
#include <utility>

namespace {

// A tree of fields worked by keys: F2, Enter or a double click edits the
// row's value, wherever on the row the focus is; Enter on a register opens
// or closes it. F2 or Enter on a field that cannot be edited is reported.
class CFieldTreeView : public QTreeView {
public:
    CFieldTreeView(QWidget* parent, std::function<void(const QModelIndex&)> onReadOnly)
        : QTreeView(parent), m_onReadOnly(std::move(onReadOnly))
    {
    }

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override
    {
        const QModelIndex value = index.siblingAtColumn(CRegisterTree::kValue);
        if (QTreeView::edit(value, trigger, event)) return true;
        const bool fieldRow = value.parent().isValid();
        if (trigger == EditKeyPressed && fieldRow && !(value.flags() & Qt::ItemIsEditable))
            m_onReadOnly(value);
        return false;
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        const QModelIndex current = currentIndex();
        if (!enter || state() == EditingState || !current.isValid())
            return QTreeView::keyPressEvent(event);
        if (!edit(current, EditKeyPressed, event)) {
            const QModelIndex row = current.siblingAtColumn(CRegisterTree::kName);
            setExpanded(row, !isExpanded(row));
        }
        event->accept();
    }

private:
    std::function<void(const QModelIndex&)> m_onReadOnly;
};

}  // namespace

CRegistersWindow::CRegistersWindow(CEvalDlg& dlg)
    : QWidget(&dlg, Qt::Window), m_dlg(dlg), m_tree(new CRegisterTree(this)),
      m_filter(new CRegisterFilter(this)),
      m_view(new CFieldTreeView(this, [this](const QModelIndex& index) { TellReadOnly(index); })),
      m_filterEdit(new QLineEdit(this)),
      m_readAll(new QPushButton(QStringLiteral("Read All"), this)), m_message(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Registers"));
    setAccessibleName(QStringLiteral("Registers"));
    m_filter->setSourceModel(m_tree);
    m_view->setModel(m_filter);
    m_view->setItemDelegate(new CFieldEditor(m_view));
    m_view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setUniformRowHeights(true);
    // The value column takes the room the others leave; they fit every row.
    QHeaderView* header = m_view->header();
    header->setResizeContentsPrecision(-1);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(CRegisterTree::kValue, QHeaderView::Stretch);
    m_view->setAccessibleName(QStringLiteral("Registers and fields"));
    m_view->setAccessibleDescription(QStringLiteral(
        "F2 or Enter changes a field's value and writes it to the chip; Escape cancels"));

    auto* filterLabel = new QLabel(QStringLiteral("&Filter:"), this);
    filterLabel->setBuddy(m_filterEdit);
    m_filterEdit->setAccessibleName(QStringLiteral("Filter"));
    m_filterEdit->setPlaceholderText(QStringLiteral("register or field name, or address"));
    m_filterEdit->setClearButtonEnabled(true);
    m_readAll->setAccessibleName(QStringLiteral("Read All"));
    m_readAll->setAutoDefault(false);
    m_message->setAccessibleName(QStringLiteral("Message"));
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_message->setWordWrap(true);
    for (const auto& [control, id] : {std::pair<QWidget*, int>{m_filterEdit, kFilter},
                                      {m_readAll, kReadAll},
                                      {m_view, kTree},
                                      {m_message, kMessage}})
        control->setObjectName(QString::number(id));

    auto* top = new QHBoxLayout;
    top->addWidget(filterLabel);
    top->addWidget(m_filterEdit, 1);
    top->addWidget(m_readAll);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_message);
    resize(760, 600);

    connect(m_filterEdit, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_filter->SetText(text);
        m_view->expandAll();
    });
    connect(m_readAll, &QPushButton::clicked, this, &CRegistersWindow::OnReadAll);
    connect(m_tree, &CRegisterTree::fieldEdited, this, &CRegistersWindow::OnFieldEdited);
    // After the panel's own readback, the window shows what it read.
    connect(&dlg, &CEvalDlg::readbackStarting, this,
            [this] { QTimer::singleShot(0, this, &CRegistersWindow::TakeGridValues); });
}

void CRegistersWindow::Open()
{
    if (!m_opened) {
        TakeGridValues();
        m_view->expandAll();
        m_view->setCurrentIndex(m_filter->index(0, 0));
        m_opened = true;
    }
    show();
    raise();
    activateWindow();
    m_view->setFocus();
}

void CRegistersWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

void CRegistersWindow::TakeGridValues()
{
    m_tree->ClearMarks();
    for (const chip::RegisterInfo& info : chip::AllRegisters())
        if (m_dlg.RegisterBox(info.address))
            m_tree->ShowValue(info.address, m_dlg.GridValue(info.address));
}

void CRegistersWindow::ShowReadings(const std::vector<Reading>& readings)
{
    std::vector<QString> shownBefore;
    m_dlg.pull();
    for (const auto& [reg, value] : readings) {
        m_tree->ShowValue(reg, value);
        const std::optional<uint8_t> grid = m_dlg.GridValue(reg);
        shownBefore.push_back(grid ? HexText(*grid) : kUnreadText);
        m_dlg.ShowRegister(reg, value);
    }
    m_dlg.push();
    for (size_t i = 0; i < readings.size(); ++i)
        m_dlg.MarkBoxChangedFrom(readings[i].first, shownBefore[i]);
}

void CRegistersWindow::Tell(const QString& text, Outcome outcome)
{
    m_message->setText(text);
    if (outcome == Outcome::Failed)
        m_dlg.SetFailureText(text);
    else
        m_dlg.SetStatusText(text);
}

void CRegistersWindow::TellReadOnly(const QModelIndex& index)
{
    const chip::NamedField* field = m_tree->FieldAt(m_filter->mapToSource(index));
    if (!field) return;
    const QString name = QString::fromUtf8(field->name);
    Tell(field->access == chip::Access::EepromBurn
             ? QStringLiteral("%1 is not written here: the panel's burn steps write it").arg(name)
             : QStringLiteral("%1 is read only: the chip sets it").arg(name),
         Outcome::Failed);
}

void CRegistersWindow::OnReadAll()
{
    const CEvalDlg::BusAction busAction(m_dlg);
    m_tree->ClearMarks();
    std::vector<Reading> readings;
    std::optional<uint8_t> firstFailed;
    int failed = 0;
    for (const chip::RegisterInfo& info : chip::AllRegisters()) {
        uint8_t value = 0;
        const bool read = m_dlg.ChipRead(info.address, value);
        readings.emplace_back(info.address, read ? std::optional(value) : std::nullopt);
        if (read) continue;
        ++failed;
        if (!firstFailed) firstFailed = info.address;
    }
    ShowReadings(readings);
    const int count = int(readings.size());
    if (failed == 0)
        Tell(QStringLiteral("%1 registers read").arg(count), Outcome::Done);
    else
        Tell(QStringLiteral("%1 of %2 registers did not answer (first: %3)")
                 .arg(failed)
                 .arg(count)
                 .arg(HexText(*firstFailed)),
             Outcome::Failed);
}

// As zr5130ctl set does: each register of the field read once, written once
// with the field changed and every other bit kept, then read back.
void CRegistersWindow::OnFieldEdited(const chip::NamedField* field, const QString& typed)
{
    const CEvalDlg::BusAction busAction(m_dlg);
    m_tree->ClearMarks();
    const chip::ValueReading reading = chip::ReadFieldValue(*field, typed.toStdString());
    if (!reading.value)
        return Tell(Text(reading.error) + QStringLiteral("; nothing written"), Outcome::Failed);
    const unsigned value = *reading.value;
    const chip::FieldAssignment assignments[] = {{field, value}};
    if (const chip::FieldRefusal refusal = chip::CheckAssignments(assignments);
        !refusal.message.empty())
        return Tell(Text(refusal.message), Outcome::Failed);

    chip::RegisterValues current;
    for (const uint8_t reg : chip::RegistersToWrite(assignments)) {
        uint8_t read = 0;
        if (!m_dlg.ChipRead(reg, read)) {
            ShowReadings({{reg, std::nullopt}});
            return Tell(QStringLiteral("Read of %1 failed: nothing written").arg(HexText(reg)),
                        Outcome::Failed);
        }
        current[reg] = read;
    }

    QString failure;
    std::vector<chip::PlannedWrite> writes = chip::PlanWrites(assignments, current);
    for (size_t i = 0; i < writes.size(); ++i) {
        if (m_dlg.ChipWrite(writes[i].reg, writes[i].after)) continue;
        const std::string cause = LinkAccessFailure();
        failure = QStringLiteral("Write to %1 failed").arg(HexText(writes[i].reg)) +
            (cause.empty() ? QString() : QStringLiteral(": ") + Text(cause));
        writes.resize(i + 1);  // a later register is not written after a failed one
        break;
    }

    std::vector<Reading> readings;
    for (const chip::PlannedWrite& write : writes) {
        uint8_t back = 0;
        const bool read = m_dlg.ChipRead(write.reg, back);
        readings.emplace_back(write.reg, read ? std::optional(back) : std::nullopt);
        if (!failure.isEmpty()) continue;
        if (!read)
            failure = QStringLiteral("Read of %1 failed after writing %2")
                          .arg(HexText(write.reg), HexText(write.after));
        else if (back != write.after)
            failure = QStringLiteral("Write to %1 failed: reads back %2, not %3")
                          .arg(HexText(write.reg), HexText(back), HexText(write.after));
    }
    ShowReadings(readings);
    if (failure.isEmpty())
        Tell(QStringLiteral("%1 set to %2")
                 .arg(QString::fromUtf8(field->name), Text(chip::MeaningOf(*field, value))),
             Outcome::Done);
    else
        Tell(failure, Outcome::Failed);
}
