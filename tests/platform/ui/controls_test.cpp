#include "platform/ui/controls.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/form.h"

namespace td::ui {
namespace {

using Log = std::vector<std::string>;

// A form that records which of its handlers run, and when it is destroyed.
class ProbeForm : public Form {
public:
    explicit ProbeForm(Log& log) : Form(L"ProbeForm", L"Probe", 1000, 1000), log_(log) {}
    ~ProbeForm() override { log_.push_back("destroyed"); }
    void Form_Resize() override { log_.push_back("resize " + std::to_string(windowState())); }
    void Form_QueryUnload(std::int16_t&, std::int16_t unloadMode) override {
        log_.push_back("query " + std::to_string(unloadMode));
        if (onQueryUnload) onQueryUnload();
    }
    void Form_Unload(std::int16_t&) override { log_.push_back("unload"); }

    std::function<void()> onQueryUnload;

private:
    Log& log_;
};

TEST(TextBox, ChangeRunsOnlyWhenTheTextActuallyChanges) {
    TextBox box(1, L"App1", {}, nullptr);
    std::vector<std::wstring> seen;
    box.Change = [&] { seen.push_back(box.text()); };
    for (const wchar_t* text : {L"", L"a", L"a", L"a ", L"a ", L""}) box.setText(text);
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"a", L"a ", L""}));
}

TEST(CheckBox, HoldsOnlyZeroOneOrTwoAndClicksOnEachChange) {
    CheckBox box(1, L"chkApp1", {}, nullptr, L"App 1");
    std::vector<int> clicks;
    box.Click = [&] { clicks.push_back(box.value()); };
    for (int refused : {3, -1, 65537}) EXPECT_FALSE(box.setValue(refused)) << refused;
    for (int held : {0, 2, 1}) EXPECT_TRUE(box.setValue(held)) << held;  // 0: no change
    box.userClick();
    EXPECT_EQ(clicks, (std::vector<int>{2, 1, 0}));
}

TEST(Form, ResizeRunsOnFirstShowAndOnEachChangeOfWindowState) {
    Log log;
    auto form = std::make_shared<ProbeForm>(log);
    form->show();
    form->hide();
    form->show();
    EXPECT_TRUE(form->visible());
    for (int state : {kMinimized, kMinimized, kNormal}) form->setWindowState(state);
    EXPECT_EQ(log, (Log{"resize 0", "resize 1", "resize 0"}));
}

TEST(Form, UnloadAsksThenUnloadsOnceAndStaysClosed) {
    Log log;
    auto form = std::make_shared<ProbeForm>(log);
    EXPECT_TRUE(form->unload(UnloadMode::CloseCommand));
    EXPECT_TRUE(form->unload(UnloadMode::Code));
    EXPECT_TRUE(form->unloaded());
    form->show();
    EXPECT_FALSE(form->visible());
    EXPECT_EQ(log, (Log{"query 0", "unload"}));
}

TEST(Form, UnloadCompletesWhenTheClosingHandlerDropsTheLastReference) {
    Log log;
    auto holder = std::make_shared<ProbeForm>(log);
    ProbeForm* form = holder.get();
    form->onQueryUnload = [&] { holder.reset(); };
    EXPECT_TRUE(form->unload(UnloadMode::EndSession));
    EXPECT_EQ(log, (Log{"query 2", "unload", "destroyed"}));
}

// A second close can arrive while the closing handler waits on the user: the end of the
// session, or "E&xit" from the tray menu, while the main window's save-failure message is up.
TEST(Form, CloseRequestedDuringClosingRunsTheHandlersOnce) {
    Log log;
    auto form = std::make_shared<ProbeForm>(log);
    int requests = 0;
    form->onQueryUnload = [&] {
        if (requests++ == 0) form->unload(UnloadMode::EndSession);
    };
    form->unload(UnloadMode::CloseCommand);
    EXPECT_EQ(log, (Log{"query 0", "unload"}));
}

}  // namespace
}  // namespace td::ui
