#include "RegisterTree.h"

#include "BoxMarks.h"
#include "HexText.h"
#include "NamedFields.h"
#include "StdText.h"

#include <QColor>
#include <QStringList>

#include <algorithm>
#include <limits>

namespace {

// The internal id of a register row; a field row's id is its register's row.
constexpr quintptr kRegisterRowId = std::numeric_limits<quintptr>::max();

const char* const kHeaders[] = {"Name", "Address / Bits", "Value", "Access"};
static_assert(std::size(kHeaders) == CRegisterTree::kColumnCount);

// Each value's name for a list to choose from, the value's number added where
// a name stands for several values; a value without a name is its number.
QStringList Choices(const chip::NamedField& field)
{
    QStringList choices;
    if (field.ValueNames().empty()) return choices;
    for (unsigned value = 0; value <= field.Max(); ++value)
        choices << Text(chip::MeaningOf(field, value));
    for (unsigned value = 0; value <= field.Max(); ++value)
        if (chip::ValueNameOf(field, value) &&
            choices.count(Text(chip::MeaningOf(field, value))) > 1)
            choices[int(value)] += QStringLiteral(" (%1)").arg(value);
    return choices;
}

}  // namespace

CRegisterTree::CRegisterTree(QObject* parent) : QAbstractItemModel(parent)
{
    for (const chip::RegisterInfo& info : chip::AllRegisters()) {
        RegisterRow row{&info, {}};
        for (const chip::NamedField* field : chip::FieldsInRegister(info.address))
            if (field->parts.front().field->reg == info.address) row.fields.push_back(field);
        m_rows.push_back(row);
    }
}

void CRegisterTree::ShowValue(uint8_t reg, std::optional<uint8_t> value)
{
    m_before[reg] = m_values[reg];
    m_values[reg] = value;
    const bool wasShown = m_shown.test(reg);
    m_shown.set(reg);
    m_changed.set(reg, wasShown && m_before[reg] != value);
    emit dataChanged(RegisterIndex(reg), RegisterIndex(reg, kColumnCount - 1));
    for (const chip::NamedField* field : chip::FieldsInRegister(reg))
        emit dataChanged(FieldIndex(*field), FieldIndex(*field, kColumnCount - 1));
}

void CRegisterTree::ClearMarks()
{
    m_changed.reset();
    const int last = int(m_rows.size()) - 1;
    emit dataChanged(index(0, 0), index(last, kColumnCount - 1));
    for (int row = 0; row <= last; ++row) {
        const QModelIndex parent = index(row, 0);
        if (const int fields = rowCount(parent))
            emit dataChanged(index(0, 0, parent), index(fields - 1, kColumnCount - 1, parent));
    }
}

QModelIndex CRegisterTree::RegisterIndex(uint8_t reg, int column) const
{
    const auto it =
        std::ranges::find(m_rows, reg, [](const RegisterRow& r) { return r.info->address; });
    return it == m_rows.end() ? QModelIndex() : index(int(it - m_rows.begin()), column);
}

QModelIndex CRegisterTree::FieldIndex(const chip::NamedField& field, int column) const
{
    const QModelIndex parent = RegisterIndex(field.parts.front().field->reg);
    if (!parent.isValid()) return {};
    const std::vector<const chip::NamedField*>& fields = m_rows[size_t(parent.row())].fields;
    const auto it = std::ranges::find(fields, &field);
    return it == fields.end() ? QModelIndex() : index(int(it - fields.begin()), column, parent);
}

const chip::NamedField* CRegisterTree::FieldAt(const QModelIndex& index) const
{
    if (!index.isValid() || index.internalId() == kRegisterRowId) return nullptr;
    return m_rows[index.internalId()].fields[size_t(index.row())];
}

const CRegisterTree::RegisterRow* CRegisterTree::RowOf(const QModelIndex& index) const
{
    if (!index.isValid()) return nullptr;
    return &m_rows[index.internalId() == kRegisterRowId ? size_t(index.row()) : index.internalId()];
}

QModelIndex CRegisterTree::index(int row, int column, const QModelIndex& parent) const
{
    if (!hasIndex(row, column, parent)) return {};
    return createIndex(row, column, parent.isValid() ? quintptr(parent.row()) : kRegisterRowId);
}

QModelIndex CRegisterTree::parent(const QModelIndex& child) const
{
    if (!child.isValid() || child.internalId() == kRegisterRowId) return {};
    return createIndex(int(child.internalId()), 0, kRegisterRowId);
}

int CRegisterTree::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid()) return int(m_rows.size());
    if (parent.column() != 0 || parent.internalId() != kRegisterRowId) return 0;
    return int(m_rows[size_t(parent.row())].fields.size());
}

int CRegisterTree::columnCount(const QModelIndex&) const { return kColumnCount; }

std::optional<unsigned> CRegisterTree::FieldValue(const chip::NamedField& field) const
{
    chip::RegisterValues values;
    for (const chip::FieldPart& part : field.parts) {
        const std::optional<uint8_t> value = m_values[part.field->reg];
        if (!value) return std::nullopt;
        values[part.field->reg] = *value;
    }
    return chip::ValueIn(field, values);
}

// A field changed when a register of it changed and the field's own bits differ.
bool CRegisterTree::FieldChanged(const chip::NamedField& field) const
{
    chip::RegisterValues before;
    bool marked = false;
    for (const chip::FieldPart& part : field.parts) {
        const uint8_t reg = part.field->reg;
        marked = marked || m_changed.test(reg);
        const std::optional<uint8_t> value = m_changed.test(reg) ? m_before[reg] : m_values[reg];
        if (!value) return marked;
        before[reg] = *value;
    }
    return marked && FieldValue(field) != chip::ValueIn(field, before);
}

QVariant CRegisterTree::data(const QModelIndex& index, int role) const
{
    const RegisterRow* row = RowOf(index);
    if (!row) return {};
    if (const chip::NamedField* field = FieldAt(index))
        return FieldData(*field, index.column(), role);
    return RegisterData(*row, index.column(), role);
}

QVariant CRegisterTree::RegisterData(const RegisterRow& row, int column, int role) const
{
    const uint8_t reg = row.info->address;
    QString text;
    switch (column) {
    case kName: text = QString::fromUtf8(row.info->name); break;
    case kLocation: text = Text(chip::AddressText(reg)); break;
    case kValue: text = m_values[reg] ? HexText(*m_values[reg]) : kUnreadText; break;
    case kAccess: text = QString::fromUtf8(chip::AccessText(row.info->access)); break;
    }
    const bool changed = m_changed.test(reg);
    const QString rowName =
        QStringLiteral("Register %1 %2")
            .arg(Text(chip::AddressText(reg)), QString::fromUtf8(row.info->name));
    switch (role) {
    case Qt::DisplayRole: return text;
    case Qt::BackgroundRole: return changed ? QVariant(kChangedColour) : QVariant();
    case Qt::AccessibleTextRole: return CellName(rowName, column, text);
    case Qt::AccessibleDescriptionRole: return CellDescription(false, changed);
    default: return {};
    }
}

QVariant CRegisterTree::FieldData(const chip::NamedField& field, int column, int role) const
{
    const std::optional<unsigned> value = FieldValue(field);
    QString text;
    switch (column) {
    case kName: text = QString::fromUtf8(field.name); break;
    case kLocation: text = Text(chip::LocationText(field)); break;
    case kValue: text = value ? Text(chip::MeaningOf(field, *value)) : kUnreadText; break;
    case kAccess: text = QString::fromUtf8(chip::AccessText(field.access)); break;
    }
    const bool changed = FieldChanged(field);
    const bool editable = column == kValue && field.access == chip::Access::ReadWrite;
    switch (role) {
    case Qt::DisplayRole: return text;
    case Qt::EditRole: return column == kValue && value ? QVariant(*value) : QVariant();
    case Qt::ToolTipRole:
        return value
            ? QStringLiteral("%1; value %2").arg(QString::fromUtf8(field.meaning)).arg(*value)
            : QString::fromUtf8(field.meaning);
    case Qt::BackgroundRole: return changed ? QVariant(kChangedColour) : QVariant();
    case Qt::AccessibleTextRole: return CellName(QString::fromUtf8(field.name), column, text);
    case Qt::AccessibleDescriptionRole: return CellDescription(editable, changed);
    case kChoicesRole: return Choices(field);
    case kMaxRole: return field.Max();
    default: return {};
    }
}

// What a screen reader says for a cell: the row's name and, beyond the
// first column, the column's.
QString CRegisterTree::CellName(const QString& rowName, int column, const QString& text) const
{
    if (column == kName) return rowName;
    return QStringLiteral("%1, %2: %3").arg(rowName, QString::fromUtf8(kHeaders[column]), text);
}

QString CRegisterTree::CellDescription(bool editable, bool changed) const
{
    QString description =
        editable ? QStringLiteral("F2 or Enter to change; written at once") : QString();
    if (changed) description += (description.isEmpty() ? "" : "; ") + QStringLiteral("changed");
    return description;
}

QVariant CRegisterTree::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return {};
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
    return QString::fromUtf8(kHeaders[section]);
}

Qt::ItemFlags CRegisterTree::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const chip::NamedField* field = FieldAt(index);
    if (field || rowCount(index.siblingAtColumn(kName)) == 0) flags |= Qt::ItemNeverHasChildren;
    if (field && index.column() == kValue && field->access == chip::Access::ReadWrite)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool CRegisterTree::setData(const QModelIndex& index, const QVariant& value, int role)
{
    const chip::NamedField* field = FieldAt(index);
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable) || !value.isValid())
        return false;
    emit fieldEdited(field, value.toString());
    return false;
}
