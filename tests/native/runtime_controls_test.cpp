#include <gtest/gtest.h>

#include <vector>

#include "platform/runtime_error.h"
#include "runtime/check_box.h"
#include "runtime/command_button.h"
#include "runtime/text_box.h"

namespace tervalux::rt {
namespace {

struct Recorder : EventSink, ControlView {
    std::vector<EventId> events;
    int repaints = 0;
    void Raise(Control&, EventId event, EventArgs&) override { events.push_back(event); }
    void Refresh() override { ++repaints; }
    void Attach(Control& control) {
        control.AttachSink(this);
        control.AttachView(this);
    }
};

TEST(CheckBoxModel, ValuesAndClicks) {
    struct Case {
        std::int16_t start;
        std::int16_t write;
        bool throws;
        std::int16_t after;
        size_t clicks;
    };
    const Case cases[] = {
        {0, 1, false, 1, 1}, {1, 0, false, 0, 1}, {0, 2, false, 2, 1},  {1, 1, false, 1, 0},
        {0, 3, true, 0, 0},  {1, -1, true, 1, 0}, {2, 256, true, 2, 0},
    };
    for (const Case& c : cases) {
        CheckBox box(L"ChkDir", TwipsRect{}, 7, L"Copiar");
        box.SetValue(c.start);
        Recorder recorder;
        recorder.Attach(box);
        if (c.throws) {
            try {
                box.SetValue(c.write);
                ADD_FAILURE() << c.write;
            } catch (const RuntimeError& error) {
                EXPECT_EQ(error.Number(), err::InvalidCall);
            }
        } else {
            box.SetValue(c.write);
        }
        EXPECT_EQ(box.Value(), c.after) << c.start << "->" << c.write;
        EXPECT_EQ(recorder.events.size(), c.clicks);
        EXPECT_EQ(static_cast<size_t>(recorder.repaints), c.clicks);
    }
}

TEST(CheckBoxModel, UserClickTicksAClearOrGrayedBoxAndClearsATickedOne) {
    for (auto [from, to] : {std::pair<std::int16_t, std::int16_t>{0, 1}, {1, 0}, {2, 1}}) {
        CheckBox box(L"ChkDir", TwipsRect{}, 7, L"Copiar");
        box.SetValue(from);
        Recorder recorder;
        recorder.Attach(box);
        box.UserClick();
        EXPECT_EQ(box.Value(), to);
        EXPECT_EQ(recorder.events, std::vector<EventId>{EventId::Click});
    }
}

TEST(TextBoxModel, ChangeOnlyWhenTheTextChangesAndNoRepaintForTheUsersOwnEdit) {
    TextBox box(L"txtarq", TwipsRect{}, 5);
    Recorder recorder;
    recorder.Attach(box);
    box.SetText(L"a.ocx");
    box.SetText(L"a.ocx");
    box.UserEdited(L"a.ocx");  // the view echoing the write
    box.UserEdited(L"a.oc");
    EXPECT_EQ(box.Text(), L"a.oc");
    EXPECT_EQ(recorder.events, (std::vector<EventId>{EventId::Change, EventId::Change}));
    EXPECT_EQ(recorder.repaints, 1);
    // No length limit of its own.
    box.SetText(std::wstring(100000, L'x'));
    EXPECT_EQ(box.Text().size(), 100000u);
}

TEST(ControlEvents, EachKindOffersItsOwnEvents) {
    CommandButton button(L"cmdReg", TwipsRect{120, 4440, 1215, 495}, 3, L"Registrar");
    CheckBox box(L"ChkDir", TwipsRect{}, 7, L"c");
    TextBox text(L"txtarq", TwipsRect{}, 5);
    EXPECT_EQ(std::vector<EventId>(button.Events().begin(), button.Events().end()),
              (std::vector<EventId>{EventId::Click, EventId::LostFocus}));
    EXPECT_EQ(std::vector<EventId>(box.Events().begin(), box.Events().end()),
              (std::vector<EventId>{EventId::Click, EventId::LostFocus}));
    EXPECT_EQ(std::vector<EventId>(text.Events().begin(), text.Events().end()),
              (std::vector<EventId>{EventId::KeyPress, EventId::Change, EventId::LostFocus}));
    EXPECT_EQ(button.GetKind(), Kind::CommandButton);
    EXPECT_EQ(button.Caption(), L"Registrar");
    EXPECT_EQ(button.Rect(), (TwipsRect{120, 4440, 1215, 495}));
    Recorder recorder;
    recorder.Attach(button);
    button.UserClick();
    button.UserLostFocus();
    EXPECT_EQ(recorder.events, (std::vector<EventId>{EventId::Click, EventId::LostFocus}));
}

}  // namespace
}  // namespace tervalux::rt
