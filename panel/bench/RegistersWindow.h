#pragma once

#include <QWidget>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

class CEvalDlg;
class CRegisterFilter;
class CRegisterTree;
class QLabel;
class QLineEdit;
class QModelIndex;
class QPushButton;
class QTreeView;
namespace chip {
struct NamedField;
}

// The Registers window, beside the panel: every register of the map with its
// fields, each field edited by its name and meaning and written at once
// through the panel's device link, its register read back into the window
// and the panel's readback grid. One window, not modal, opened (or brought
// to the front) by the window-menu entry "Registers..." (Ctrl+G).
class CRegistersWindow : public QWidget {
    Q_OBJECT
public:
    // Control IDs of the window's controls.
    static constexpr int kFilter = 1300;
    static constexpr int kReadAll = 1301;
    static constexpr int kTree = 1302;
    static constexpr int kMessage = 1303;

    explicit CRegistersWindow(CEvalDlg& dlg);

    // Shows the window, the grid's values in it the first time.
    void Open();
    // Reads every register of the map.
    void OnReadAll();
    // Writes one field as typed, keeping its registers' other bits, and
    // reads back; a value the field cannot hold is refused, nothing written.
    void OnFieldEdited(const chip::NamedField* field, const QString& typed);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    using Reading = std::pair<uint8_t, std::optional<uint8_t>>;
    // What the registers read into the window and, for those with a box, into
    // the panel's grid, boxes that changed marked.
    void ShowReadings(const std::vector<Reading>& readings);
    // The values the panel's grid shows, with no bus access.
    void TakeGridValues();
    // A failure (or refusal) gives way on the status line to the next success.
    enum class Outcome { Done, Failed };
    void Tell(const QString& text, Outcome outcome);
    // F2 or Enter on a field that is not written here.
    void TellReadOnly(const QModelIndex& index);

    CEvalDlg& m_dlg;
    CRegisterTree* m_tree;
    CRegisterFilter* m_filter;
    QTreeView* m_view;
    QLineEdit* m_filterEdit;
    QPushButton* m_readAll;
    QLabel* m_message;
    bool m_opened = false;
};
