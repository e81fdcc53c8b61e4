#pragma once

#include "AdapterStart.h"
#include "BusTurns.h"
#include "KnownRegisters.h"

#include <QDialog>
#include <QHash>
#include <QIcon>
#include <QString>

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class CDropDownList;
class CTrackSlider;
class QAbstractButton;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QMenu;
class CStatusLine;
struct LoadResult;
struct TypedField;
namespace chip {
struct FieldInfo;
}

enum class BindKind { Text, Check, Radio };

// The evaluation panel. Controls carry their values in bound fields: pull()
// copies every control into its field, push() every field into its control.
// User events on controls run one On... action each (see the routing table);
// nothing the program does to a control runs an action.
class CEvalDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr unsigned kIdmAboutBox = 0x0010;
    static constexpr unsigned kScClose = 0xF060;

    explicit CEvalDlg(QWidget* parent = nullptr);
    ~CEvalDlg() override;

    // What the start-up opens and how the Adapter list reaches adapters;
    // before OnInitDialog.
    void SetAdapterStart(AdapterStart start) { m_adapterStart = std::move(start); }

    // Start-up, then the modal loop. Returns the dialog's result.
    int DoModal();
    // The start-up: window menu, icon, shadows, lists, sliders, the bench
    // additions, adapter, blank-chip programming and the first full readback.
    bool OnInitDialog();
    const AdapterStart& StartedOn() const { return m_adapterStart; }

    void pull();
    void push();

    // Window-menu commands; the low four bits of id are ignored. The window's
    // own (About, Close) run here; any other is announced as windowCommand.
    void OnSysCommand(unsigned id);
    QMenu* SystemMenu() const { return m_sysMenu; }

    // Brackets one run of the panel against the bus: an action of the user
    // (a control, the start-up, a window-menu command), or what the window
    // makes of a polling read. An action has the bus for as long as it runs
    // (see BusTurns), and clears the stuck-bus mark left by the last run as it
    // starts; a poll's read cleared it itself. As it ends:
    // a write that failed and that the run did not tell of itself becomes
    // "Write to REG failed", taking back the action's own text; a stuck bus
    // that only reads met gets its cause on the status line, and once on
    // standard error, so each run waits out at most one timeout; an action
    // that reached the chip without a failure and without a text of its own
    // lets a failure text give way. Only the outermost of nested runs does
    // this.
    class BusAction {
    public:
        enum class Kind { UserAction, Poll };
        explicit BusAction(CEvalDlg& dlg, Kind kind = Kind::UserAction);
        ~BusAction();
        BusAction(const BusAction&) = delete;
        BusAction& operator=(const BusAction&) = delete;

    private:
        CEvalDlg& m_dlg;
        Kind m_kind;
        BusTurns::Hold m_bus;
    };

    QWidget* Control(int id) const { return m_controls.value(id); }
    // The readback grid: the box of reg (nullptr when the grid has none) and
    // the value it shows (nothing for "--").
    QWidget* RegisterBox(uint8_t reg) const;
    std::optional<uint8_t> GridValue(uint8_t reg) const;
    // The check box the readback ticks from one bit of reg, or nullptr.
    QWidget* DecodedCheckBox(uint8_t reg, uint8_t bit) const;
    // What an action did; a failure, or input refused, with SetFailureText.
    // detail, when given, follows the text in the line's tooltip.
    void SetStatusText(const QString& text);
    void SetFailureText(const QString& text, const QString& detail = {});
    QString StatusText() const;
    void SetVersionText(const QString& text);
    QString VersionText() const;

    // The readback grid's boxes: whether a box is marked as changed by the
    // last readback, and what it showed before that readback.
    static constexpr size_t kGridSize = 26;
    bool MarkedChanged(int boxId) const;
    QString ShownBefore(int boxId) const;
    // The tooltip of a control, built from its state now; empty when the
    // control has none.
    QString ToolTipText(int id) const;

    // Register access to the chip at its address. Every access is noted for
    // the run (see BusAction); a failed write's register and the adapter's
    // cause are kept when it is the run's first.
    bool ChipRead(uint8_t reg, uint8_t& value);
    bool ChipWrite(uint8_t reg, uint8_t value);
    // A read made off the window's thread (Watch Status), noted for the run
    // as ChipRead notes its own; nothing: it failed.
    void TakeRead(uint8_t reg, std::optional<uint8_t> value);
    // What the panel's own accesses last learned of reg; see registerKnown.
    const std::optional<KnownValue>& Known(uint8_t reg) const { return m_known[reg]; }
    // One register into its grid box ("--" for nothing) and the controls
    // the readback decodes from it; between a pull and a push.
    void ShowRegister(uint8_t reg, std::optional<uint8_t> value);
    // After an action other than the readback put reg's value into its box
    // (ShowRegister, then push): when the box no longer shows shownBefore, it
    // is marked as changed as the readback marks it, until the next readback.
    void MarkBoxChangedFrom(uint8_t reg, const QString& shownBefore);

    // The start-up's steps, also run by Reconnect and the Adapter list: the
    // adapter open with its version and status lines, and the start-up table
    // written to a chip that was never programmed.
    void OpenAdapter();
    void ShowAdapterOpen(int result, uint8_t rfw);
    // Whether the adapter came up at its last open.
    bool AdapterIsOpen() const { return m_adapterOpen; }
    void ProgramBlankChip();
    void ShowStartNotice();
    // Tooltips of the readback boxes and the writing controls, built as they
    // are shown.
    void InstallToolTips();

    // Actions, one per routed event.
    void OnCancel();
    void OnReadbackAll();
    void OnManualWrite();
    void OnManualRead();
    void OnBrightnessReleased();
    void OnModeChanged();
    void OnEnableBacklight();
    void OnFastResume();
    void OnLed1();
    void OnLed2();
    void OnLed3();
    void OnLed4();
    void OnLed5();
    void OnLed6();
    void OnAllOn();
    void OnAllOff();
    void OnCurrentReleased();
    void OnTargetUpdate();
    void OnSetTarget();
    void OnCurrentScaleChanged();
    void OnPdetStandby();
    void OnUpdateA2();
    void OnUpdateA3();
    void OnUpdateA7();
    void OnDimThresholdChanged();
    void OnPwmDirect();
    void OnPhaseShiftChanged();
    void OnPwmFreqChanged();
    void OnVboostReleased();
    void OnBoostFreqChanged();
    void OnVboostMaxChanged();
    void OnAdaptive();
    void OnSsEn();
    void OnVboostRangeLow();
    void OnVboostRangeHigh();
    void OnIboostRangeLow();
    void OnIboostRangeHigh();
    void OnLoad();
    void OnPrepareWrite();
    void OnCompleteWrite();

    // Lists and sliders: asked and set directly by the actions.
    CDropDownList* m_cbMode = nullptr;
    CDropDownList* m_cbPfmThreshold = nullptr;
    CDropDownList* m_cbCurrentLimit = nullptr;
    CDropDownList* m_cbCurrentScale = nullptr;
    CDropDownList* m_cbVboostMax = nullptr;
    CDropDownList* m_cbBoostFreq = nullptr;
    CDropDownList* m_cbPhaseShift = nullptr;
    CDropDownList* m_cbPwmFreq = nullptr;
    CDropDownList* m_cbDimThreshold = nullptr;
    CDropDownList* m_cbPwmSlope = nullptr;
    CDropDownList* m_cbFilter = nullptr;
    CDropDownList* m_cbPwmHysteresis = nullptr;
    CDropDownList* m_cbConfig = nullptr;
    CTrackSlider* m_sldBrightness = nullptr;
    CTrackSlider* m_sldCurrent = nullptr;
    CTrackSlider* m_sldVboost = nullptr;

    // Bound fields: text of an edit, 1/0 for a check box, ticked index of a
    // radio pair (-1 for none).
    QString m_strVboostCode;
    QString m_strRegAddr;
    QString m_strData;
    QString m_strReg00;
    QString m_strReg01;
    QString m_strReg02;
    QString m_strReg03;
    QString m_strReg04;
    QString m_strReg06;
    QString m_strRegA0;
    QString m_strReg05;
    int m_bLed1 = 1;
    int m_bLed2 = 1;
    int m_bLed3 = 1;
    int m_bLed4 = 1;
    int m_bLed5 = 1;
    int m_bLed6 = 1;
    int m_bVrefOk = 0;
    int m_bVboostOk = 0;
    int m_bOverVoltage = 0;
    int m_bOverCurrent = 0;
    int m_bTsd = 0;
    int m_bUvlo = 0;
    int m_bEnableBacklight = 0;
    int m_bOpen = 0;
    int m_bShort = 0;
    int m_bFastResume = 0;
    int m_bPdetStandby = 1;
    int m_bDrv2Enable = 1;
    int m_bDrv3Enable = 1;
    int m_bPwmFsetEn = 0;
    int m_bBoostFsetEn = 0;
    int m_bIsetEn = 0;
    int m_bBacklightOn = 0;
    int m_bUvloLevel = 0;
    int m_bUvloEnable = 0;
    int m_bAdaptive = 1;
    int m_bSsEn = 0;
    int m_bPwmDirect = 0;
    QString m_strRegA2;
    QString m_strRegA3;
    QString m_strRegA4;
    QString m_strRegA5;
    QString m_strRegA6;
    QString m_strRegA7;
    QString m_strRegA8;
    QString m_strRegA9;
    QString m_strRegAA;
    QString m_strRegAB;
    QString m_strRegAC;
    QString m_strRegAD;
    QString m_strRegAE;
    QString m_strRegAF;
    QString m_strReg9E;
    QString m_strRegA1;
    QString m_strReg72;
    QString m_strReg98;
    QString m_strTarget;
    QString m_strBrightnessPct;
    int m_nVboostRange = -1;
    int m_nIboostRange = -1;
    QIcon m_hIcon;

signals:
    // A window-menu command the window itself does not run; id as given to
    // OnSysCommand.
    void windowCommand(unsigned id);
    // Readback All is about to read the grid again.
    void readbackStarting();
    // A successful access to reg changed what Known(reg) says.
    void registerKnown(uint8_t reg);
    // The adapter was opened (at start-up, by Reconnect or the Adapter list),
    // whether it came up or not.
    void adapterOpened();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct Binding {
        BindKind kind;
        QWidget* control;
        QAbstractButton* second;  // a radio pair's index-1 button
        QString CEvalDlg::*text;
        int CEvalDlg::*number;
    };
    class ExchangeGuard;

    void ConnectRoutes();
    void BindControls();
    QWidget* BoundControl(int CEvalDlg::*number) const;
    void OnEnterKey();
    void ShowSystemMenu(const QPoint& globalPos);
    // The start-up's parts before and after the bench additions join.
    void PrepareControls();
    void StartChip();
    // The eight status flags show the chip: no click, key or assistive
    // tool's toggle changes their ticks; only pushes do.
    void HoldStatusFlags();
    void MarkChangedBoxes();
    void SetChangedMark(size_t box, bool changed);
    // After a readback: how many registers did not answer, when an adapter
    // is open to ask.
    void TellUnanswered(int failed, uint8_t first, const QString& cause);
    void Learn(uint8_t reg, uint8_t value, KnownValue::How how);

    // Writes and shows in box the value written, or "--" when the write failed.
    bool WriteShown(uint8_t reg, uint8_t value, QString CEvalDlg::*box);
    // The number typed when it is a whole hex number in range; otherwise
    // nothing, and the status line says what is wrong with it.
    std::optional<uint32_t> TypedNumber(const TypedField& field, const QString& text);

    void OnLed(int led);  // 0 for LED 1
    void TellFailedLoad(const LoadResult& load);
    void WriteTarget(uint32_t target);
    std::optional<uint32_t> TypedTarget();
    // Read-modify-write of one register: compose gets the value read (after
    // the pull) and gives the value to write, or nothing to write nothing.
    // The box shows the value written, or "--" when the read or the write
    // failed; a failed read writes nothing and says so.
    void UpdateRegisterBits(uint8_t reg, QString CEvalDlg::*box,
                            const std::function<std::optional<uint8_t>(uint8_t)>& compose);

    // Sets a one-bit field in its register's shadow as the check field says,
    // shows the shadow in box and writes it.
    void WriteShadowBit(const chip::FieldInfo& bit, uint8_t& shadow, int CEvalDlg::*tick,
                        QString CEvalDlg::*box);
    // Writes the range field's register whole: the field = index, other bits 0.
    void SetRangeRadio(const chip::FieldInfo& range, int CEvalDlg::*field, int index,
                       QString CEvalDlg::*box);

    QHash<int, QWidget*> m_controls;
    std::vector<Binding> m_bindings;
    int m_exchangeDepth = 0;
    QMenu* m_sysMenu = nullptr;
    AdapterStart m_adapterStart;
    std::array<QString, kGridSize> m_shownBefore;
    std::bitset<kGridSize> m_changed;
    CStatusLine* m_statusLine = nullptr;
    QLabel* m_versionLine = nullptr;
    KnownRegisters m_known;
    bool m_adapterOpen = false;

    // What the run now going on (see BusAction) has done.
    struct RunNotes {
        int depth = 0;  // nested runs
        bool accessed = false;
        bool accessFailed = false;
        bool textSet = false;
        bool failureTold = false;  // the run set a failure text of its own
        bool adapterOpened = false;  // its texts go on from the open's
        std::optional<uint8_t> failedWrite;  // the first
        QString failedWriteCause;
    };
    RunNotes m_run;
};

// The selected entry's register field value, or nothing when no entry is
// selected.
std::optional<unsigned> SelectedValue(const CDropDownList& list);
