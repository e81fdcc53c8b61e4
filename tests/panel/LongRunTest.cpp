// A long random session: a user who clicks, chooses, drags and types at
// random on the simulated board while the bus drops one access in twenty.
// After every action the panel must still be up, the readback grid must hold
// register texts only, and the chip must have seen writes only to registers
// the panel owns (or, from "Write", to the one typed into Reg Addr).
//
// ZR5130_LONGRUN_ACTIONS sets the number of actions (default 100000),
// ZR5130_LONGRUN_SEED the seed (default printed, so a failure can be replayed).
#include "ControlIds.h"
#include "Controls.h"
#include "DialogTemplate.h"
#include "EvalDlg.h"
#include "HexText.h"
#include "PanelHarness.h"
#include "ScriptedAdapter.h"
#include "Shadows.h"
#include "SimBoard.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <bitset>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr double kFaultRate = 0.05;

// The readback grid: each register's box.
struct ReadbackBox {
    uint8_t reg;
    int id;
};
constexpr ReadbackBox kGrid[] = {
    {0x00, idc::kReg00}, {0x01, idc::kReg01}, {0x02, idc::kReg02}, {0x03, idc::kReg03},
    {0x04, idc::kReg04}, {0x05, idc::kReg05}, {0x06, idc::kReg06}, {0xA0, idc::kRegA0},
    {0xA1, idc::kRegA1}, {0xA2, idc::kRegA2}, {0xA3, idc::kRegA3}, {0xA4, idc::kRegA4},
    {0xA5, idc::kRegA5}, {0xA6, idc::kRegA6}, {0xA7, idc::kRegA7}, {0xA8, idc::kRegA8},
    {0xA9, idc::kRegA9}, {0xAA, idc::kRegAA}, {0xAB, idc::kRegAB}, {0xAC, idc::kRegAC},
    {0xAD, idc::kRegAD}, {0xAE, idc::kRegAE}, {0xAF, idc::kRegAF}, {0x72, idc::kReg72},
    {0x98, idc::kReg98}, {0x9E, idc::kReg9E},
};

bool PanelWrites(uint8_t reg)
{
    return reg == 0x00 || reg == 0x01 || reg == 0x16 || reg == 0x72 || reg == 0x98 || reg == 0x9E
           || (reg >= 0xA0 && reg <= 0xAF);
}

bool IsRegisterText(const QString& text)
{
    if (text == kUnreadText) return true;
    if (text.size() != 2) return false;
    for (QChar c : text)
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'))) return false;
    return true;
}

// The offscreen platform cannot grab the keyboard or raise windows, and
// says so at every popup; thousands of those lines would bury the report.
QtMessageHandler g_previousHandler = nullptr;
void QuietOffscreenNotices(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (text.startsWith(QLatin1String("This plugin does not support"))) return;
    if (g_previousHandler)
        g_previousHandler(type, context, text);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

uint64_t FromEnvironment(const char* name, uint64_t fallback)
{
    bool ok = false;
    const qulonglong value = qEnvironmentVariable(name).toULongLong(&ok, 0);
    return ok ? value : fallback;
}

enum class Kind { Button, Check, Radio, List, Slider, Typing, SystemMenu };

struct Action {
    Kind kind = Kind::Button;
    int id = 0;
    int detail = 0;  // entry, position or path, by kind
    QString text;    // typed text
};

std::string Describe(const Action& a)
{
    static const char* const kNames[] = {"click button", "click check box", "click radio",
                                         "choose in list", "release slider", "type into",
                                         "system menu"};
    std::string s = std::string(kNames[int(a.kind)]) + " " + std::to_string(a.id) + " ("
                    + std::to_string(a.detail) + ")";
    if (a.kind == Kind::Typing) s += " \"" + a.text.toStdString() + "\"";
    return s;
}

class LongRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        seed = FromEnvironment("ZR5130_LONGRUN_SEED", 0x5130);
        actions = FromEnvironment("ZR5130_LONGRUN_ACTIONS", 100000);
        std::printf("[ LONGRUN  ] seed %llu (ZR5130_LONGRUN_SEED), %llu actions "
                    "(ZR5130_LONGRUN_ACTIONS)\n",
                    static_cast<unsigned long long>(seed), static_cast<unsigned long long>(actions));
        rng.seed(seed);
        faults.seed(seed ^ 0xFA17);

        board.faultInjector = [this](bool isWrite, uint8_t reg) {
            const bool fail = std::bernoulli_distribution(kFaultRate)(faults);
            if (isWrite) {
                ++totalWrites;
                written.push_back(reg);
            } else {
                ++totalReads;
                if (fail) failedReads.set(reg);
            }
            failures += fail;
            return fail;
        };
        g_previousHandler = qInstallMessageHandler(QuietOffscreenNotices);
        ResetShadowsToProgramStart();
        adapter = std::make_unique<ScopedAdapter>(&board);
        OpenPanel();
        FindControls();
        modalCloser.setInterval(0);
        QObject::connect(&modalCloser, &QTimer::timeout, [this] { CloseModalDialogs(); });
        modalCloser.start();
    }

    void TearDown() override
    {
        modalCloser.stop();
        if (panel) panel->close();
        panel.reset();
        adapter.reset();
        qInstallMessageHandler(g_previousHandler);
    }

    void OpenPanel()
    {
        panel = std::make_unique<CEvalDlg>();
        panel->OnInitDialog();
        panel->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
        panel->activateWindow();
    }

    // Every control a user can operate, from the panel's template; Exit
    // would end the session.
    void FindControls()
    {
        for (const ControlTemplate& c : kPanelTemplate.controls) {
            if (c.id == kNoControlId || c.id == idc::kExit) continue;
            switch (c.kind) {
            case ControlKind::PushButton:
            case ControlKind::DefPushButton: buttons.push_back(c.id); break;
            case ControlKind::CheckBox: checks.push_back(c.id); break;
            case ControlKind::RadioButton: radios.push_back(c.id); break;
            case ControlKind::ComboBox: lists.push_back(c.id); break;
            case ControlKind::Slider: sliders.push_back(c.id); break;
            default: break;
            }
        }
        typingTargets = {idc::kTarget, idc::kRegAddr, idc::kData};
        typingTargets.insert(typingTargets.end(), lists.begin(), lists.end());
        for (const ReadbackBox& g : kGrid) gridBoxes.push_back(Edit(g.id));
        regAddr = Edit(idc::kRegAddr);
    }

    QWidget* Control(int id) const { return panel->findChild<QWidget*>(QString::number(id)); }
    QLineEdit* Edit(int id) const
    {
        QWidget* w = Control(id);
        if (auto* list = qobject_cast<CDropDownList*>(w)) return list->lineEdit();
        return qobject_cast<QLineEdit*>(w);
    }

    template <typename T>
    T Pick(const std::vector<T>& from)
    {
        return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(rng)];
    }
    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

    Action NextAction()
    {
        Action a;
        const int roll = Uniform(0, 999);
        if (roll < 200) {
            a.kind = Kind::Button;
            a.id = Pick(buttons);
        } else if (roll < 450) {
            a.kind = Kind::Check;
            a.id = Pick(checks);
        } else if (roll < 500) {
            a.kind = Kind::Radio;
            a.id = Pick(radios);
        } else if (roll < 650) {
            a.kind = Kind::List;
            a.id = Pick(lists);
            a.detail = Uniform(0, List(a.id)->count() - 1);
        } else if (roll < 760) {
            a.kind = Kind::Slider;
            a.id = Pick(sliders);
            const auto* slider = Slider(a.id);
            a.detail = Uniform(slider->minimum(), slider->maximum());
        } else if (roll < 995) {
            a.kind = Kind::Typing;
            a.id = Pick(typingTargets);
            a.detail = Uniform(0, 3);
            a.text = RandomText();
        } else {
            a.kind = Kind::SystemMenu;
            a.detail = Uniform(0, 1);
        }
        return a;
    }

    // Mostly what belongs in the hex boxes, sometimes what does not.
    QString RandomText()
    {
        static const QString kLikely = QStringLiteral("0123456789ABCDEFabcdef");
        static const QString kOdd = QStringLiteral(" -+xXgz.\u00e9");
        QString text;
        for (int n = Uniform(0, 5); n > 0; --n) {
            const QString& from = Uniform(0, 9) == 0 ? kOdd : kLikely;
            text += from[Uniform(0, int(from.size()) - 1)];
        }
        return text;
    }

    CDropDownList* List(int id) const { return qobject_cast<CDropDownList*>(Control(id)); }
    CTrackSlider* Slider(int id) const { return qobject_cast<CTrackSlider*>(Control(id)); }

    static QPoint ButtonPoint(QAbstractButton* button)
    {
        // Check boxes and radios answer to clicks on their indicator.
        return qobject_cast<QPushButton*>(button) ? button->rect().center()
                                                  : QPoint(6, button->height() / 2);
    }

    void Perform(const Action& a)
    {
        switch (a.kind) {
        case Kind::Button:
        case Kind::Check:
        case Kind::Radio: {
            auto* button = qobject_cast<QAbstractButton*>(Control(a.id));
            QTest::mouseClick(button, Qt::LeftButton, {}, ButtonPoint(button));
            break;
        }
        case Kind::List: ChooseEntry(List(a.id), a.detail); break;
        case Kind::Slider: ReleaseSlider(Slider(a.id), a.detail); break;
        case Kind::Typing: TypeInto(Edit(a.id), a.detail, a.text); break;
        case Kind::SystemMenu: UseSystemMenu(a.detail == 0); break;
        }
    }

    // A list's entry picked with the mouse from the opened list, or reached
    // with the arrow keys (each key press picks the entry it lands on).
    void ChooseEntry(CDropDownList* list, int index)
    {
        if (Uniform(0, 9) == 0) {
            list->showPopup();
            QAbstractItemView* view = list->view();
            const QModelIndex item = view->model()->index(index, 0);
            view->scrollTo(item);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
            if (view->isVisible()) list->hidePopup();
            return;
        }
        const int from = list->currentIndex();
        const Qt::Key key = index > from ? Qt::Key_Down : Qt::Key_Up;
        for (int steps = std::min(std::abs(index - from), 3); steps > 0; --steps)
            QTest::keyClick(list, key);
    }

    // Half the time the slider is moved (as keys would) and its handle
    // clicked; otherwise the mouse lands anywhere on it.
    void ReleaseSlider(CTrackSlider* slider, int position)
    {
        QPoint at(Uniform(0, slider->width() - 1), slider->height() / 2);
        if (Uniform(0, 1) == 0) {
            slider->setValue(position);
            at = SliderHandleCenter(*slider);
        }
        QTest::mouseClick(slider, Qt::LeftButton, {}, at);
    }

    // how: 0 types at the end, 1 replaces everything, 2 deletes a character
    // first, 3 only clears.
    void TypeInto(QLineEdit* edit, int how, const QString& text)
    {
        edit->setFocus();
        if (how == 1 || how == 3) {
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(edit, Qt::Key_Delete);
        } else {
            QTest::keyClick(edit, Qt::Key_End);
            if (how == 2) QTest::keyClick(edit, Qt::Key_Backspace);
        }
        if (how == 3) return;
        for (QChar c : text) {
            if (c.unicode() < 0x80)
                QTest::keyClick(edit, char(c.unicode()));
            else  // QTest knows keys for ASCII only
                QTest::sendKeyEvent(QTest::Click, edit, Qt::Key(c.toUpper().unicode()), QString(c),
                                    Qt::NoModifier);
        }
    }

    // Alt+Space opens the window menu; then About, or the menu is dismissed.
    void UseSystemMenu(bool about)
    {
        // The key is a shortcut of the active window. The offscreen platform
        // hands activation back after a popup only when events are processed,
        // which this loop does not do after every action.
        if (QApplication::activeWindow() != panel.get()) {
            panel->activateWindow();
            QCoreApplication::processEvents();
            ASSERT_EQ(QApplication::activeWindow(), panel.get()) << "the panel cannot be activated";
        }
        QTest::keyClick(panel->focusWidget() ? panel->focusWidget() : panel.get(), Qt::Key_Space,
                        Qt::AltModifier);
        QMenu* menu = panel->SystemMenu();
        ASSERT_TRUE(menu->isVisible()) << "Alt+Space opened no window menu";
        if (!about) {
            QTest::keyClick(menu, Qt::Key_Escape);
            return;
        }
        QAction* entry = nullptr;
        for (QAction* action : menu->actions())
            if (action->data().toUInt() == CEvalDlg::kIdmAboutBox) entry = action;
        ASSERT_NE(entry, nullptr) << "the window menu has no About entry";
        const int before = aboutBoxesClosed;
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
        ASSERT_EQ(aboutBoxesClosed, before + 1) << "About did not open its box";
    }

    // Runs inside any modal loop an action starts: closes the box with its
    // OK button, as a user would.
    void CloseModalDialogs()
    {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog == panel.get() || !dialog->isVisible()) return;
        if (auto* ok = dialog->findChild<QPushButton*>(QString::number(idc::kAboutOk)))
            QTest::mouseClick(ok, Qt::LeftButton);
        if (dialog->isVisible()) dialog->reject();
        ++aboutBoxesClosed;
    }

    // Empty when all is well. a is null for the start-up.
    std::string Problems(const Action* a, int typedRegister)
    {
        std::string problems;
        if (!panel->isVisible()) problems += "the panel closed; ";
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != panel.get())
            problems += "a modal window stayed open; ";
        if (QApplication::activePopupWidget()) problems += "a popup stayed open; ";
        for (size_t i = 0; i < std::size(kGrid); ++i) {
            const QString text = gridBoxes[i]->text();
            if (!IsRegisterText(text))
                problems += "box of register " + HexText(kGrid[i].reg).toStdString() + " shows \""
                            + text.toStdString() + "\"; ";
        }
        for (uint8_t reg : written)
            if (!PanelWrites(reg)
                && !(a && a->kind == Kind::Button && a->id == idc::kManualWrite
                     && reg == typedRegister))
                problems += "wrote register " + HexText(reg).toStdString() + "; ";
        // A full readback shows what the chip holds, or "--" where the read failed.
        if (a && a->kind == Kind::Button && (a->id == idc::kReadbackAll || a->id == idc::kLoad)) {
            for (size_t i = 0; i < std::size(kGrid); ++i) {
                const uint8_t reg = kGrid[i].reg;
                const QString expected =
                    failedReads.test(reg) ? kUnreadText : HexText(board.Peek(reg).value());
                if (gridBoxes[i]->text() != expected)
                    problems += "after readback the box of register " + HexText(reg).toStdString()
                                + " shows \"" + gridBoxes[i]->text().toStdString() + "\", not \""
                                + expected.toStdString() + "\"; ";
            }
        }
        return problems;
    }

    uint64_t seed = 0;
    uint64_t actions = 0;
    std::mt19937_64 rng;
    std::mt19937_64 faults;
    SimBoard board;
    std::unique_ptr<ScopedAdapter> adapter;
    std::unique_ptr<CEvalDlg> panel;
    QTimer modalCloser;

    std::vector<int> buttons, checks, radios, lists, sliders, typingTargets;
    std::vector<QLineEdit*> gridBoxes;
    QLineEdit* regAddr = nullptr;

    // What the bus saw: during the current action, and in all.
    std::vector<uint8_t> written;
    std::bitset<256> failedReads;
    uint64_t totalReads = 0;
    uint64_t totalWrites = 0;
    uint64_t failures = 0;
    int aboutBoxesClosed = 0;
};

TEST_F(LongRunTest, RandomUserActionsOnAFlakyBus)
{
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(Problems(nullptr, -1), "") << "after start-up";

    const auto start = std::chrono::steady_clock::now();
    uint64_t done = 0;
    for (; done < actions; ++done) {
        const Action a = NextAction();
        written.clear();
        failedReads.reset();
        const std::optional<uint32_t> typed = ParseWholeHex(regAddr->text());
        Perform(a);
        ASSERT_FALSE(HasFatalFailure()) << "action " << done << ": " << Describe(a);
        const std::string problems = Problems(&a, typed && *typed <= 0xFF ? int(*typed) : -1);
        ASSERT_EQ(problems, "") << "action " << done << ": " << Describe(a) << ", seed " << seed;
        // Deferred deletions and repaints pile up without an event loop.
        if (done % 512 == 511) QCoreApplication::processEvents();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("[ LONGRUN  ] %llu actions, %llu register reads, %llu writes, %llu failed by "
                "injection, %d About boxes, %.1f s\n",
                static_cast<unsigned long long>(done), static_cast<unsigned long long>(totalReads),
                static_cast<unsigned long long>(totalWrites),
                static_cast<unsigned long long>(failures), aboutBoxesClosed, seconds);
    EXPECT_GT(totalWrites, done / 4) << "the actions hardly reached the chip";
    EXPECT_GT(failures, 0u) << "no fault was injected";
}

}  // namespace
