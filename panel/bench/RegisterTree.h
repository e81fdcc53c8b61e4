#pragma once

#include <QAbstractItemModel>

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <vector>

namespace chip {
struct NamedField;
struct RegisterInfo;
}  // namespace chip

// Every register of the map as a row, its named fields as the rows under it,
// with the values last read from the chip. A field's value cell is editable
// when every register of the field may be written; what is typed into it is
// handed on as fieldEdited and changes nothing here: the tree shows what the
// chip answers.
class CRegisterTree : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Column { kName, kLocation, kValue, kAccess, kColumnCount };
    enum Role {
        // A field's value names, entry n naming value n; empty when the
        // values are plain numbers.
        kChoicesRole = Qt::UserRole + 1,
        kMaxRole,  // a field's largest value
    };

    explicit CRegisterTree(QObject* parent = nullptr);

    // reg as read (nothing: not read, or no answer). The register is marked
    // as changed when it showed another value before.
    void ShowValue(uint8_t reg, std::optional<uint8_t> value);
    std::optional<uint8_t> Value(uint8_t reg) const { return m_values[reg]; }
    bool MarkedChanged(uint8_t reg) const { return m_changed.test(reg); }
    void ClearMarks();

    QModelIndex RegisterIndex(uint8_t reg, int column = kName) const;
    QModelIndex FieldIndex(const chip::NamedField& field, int column = kName) const;
    // The field of a field row, null for a register row.
    const chip::NamedField* FieldAt(const QModelIndex& index) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // What the user typed or chose for a field, as text: emitted, not kept.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

signals:
    void fieldEdited(const chip::NamedField* field, const QString& typed);

private:
    struct RegisterRow {
        const chip::RegisterInfo* info;
        std::vector<const chip::NamedField*> fields;  // those whose first part is here
    };
    const RegisterRow* RowOf(const QModelIndex& index) const;
    std::optional<unsigned> FieldValue(const chip::NamedField& field) const;
    bool FieldChanged(const chip::NamedField& field) const;
    QVariant RegisterData(const RegisterRow& row, int column, int role) const;
    QVariant FieldData(const chip::NamedField& field, int column, int role) const;
    QString CellName(const QString& rowName, int column, const QString& text) const;
    QString CellDescription(bool editable, bool changed) const;

    std::vector<RegisterRow> m_rows;
    std::array<std::optional<uint8_t>, 256> m_values{};
    std::array<std::optional<uint8_t>, 256> m_before{};  // what each showed before its last value
    // Given a value, or none, at least once: there is something to compare with.
    std::bitset<256> m_shown;
    std::bitset<256> m_changed;
};
