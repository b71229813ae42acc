// Settings an organisation sets through Group Policy: which value counts, that a held setting
// can be neither changed nor saved over the user's own, and the administrative templates.
#include <fstream>
#include <regex>

#include "group/frmGroup.h"
#include "support/fakes.h"

namespace td::test {

// Per setting the computer's policy wins over the user's, and both over the user's own. A held
// setting is locked: no edit changes it, and neither OK, Cancel, the group's Okay nor any way
// out writes it, so the user's own value stays and comes back when the policy goes.
TEST(Policies, WinInOrderLockWhatTheyHoldWriteNothingOfItAndFollowChanges) {
    for (int way = 0; way < 3; ++way) {  // the close command, the program's close, log-off
        Fixture f;
        f.computerPolicy = byKey({L"App1=c.exe", L"Startup=1", L"chkGApp2=1"});
        f.userPolicy =
            byKey({L"App1=u.exe", L"Caption1=U", L"App2=u2.exe", L"chkGroupE=1", L"Hotkey=0"});
        f.start({L"App1=own.exe", L"Caption1=Own", L"chkGroupE=1", L"Hotkey=1613"});
        frmConfig& config = *f.config;
        // Slots 1 to 3, "locked" (read-only, no Browse, told) or not; + for what the user can
        // change (option, group, shortcut, no notices); the group's switch, its slot 2, option.
        auto seen = [&] {
            const frmGroup& group = *f.app.group.get();  // closed by Okay: the next one
            std::wstring view;
            for (int n = 1; n <= 3; ++n)
                view += slotView(config, n) +
                        (config.App[n]->readOnly() && !config.cmdApp[n]->enabled() &&
                                 config.Caption[n]->tooltip() == L"Set by your organization"
                             ? L" locked, "
                             : L", ");
            for (bool free : {config.mnuStartup->enabled(), group.chkGroupE->enabled(),
                              config.mnuShortcut->enabled() && config.launchShortcut.inForce(),
                              !config.lblPolicy->visible(), !group.lblPolicy->visible()})
                view += free ? L'+' : L'-';
            return view + to_wstring(group.chkGroupE->value() * 100 +
                                     group.chkApp[2]->value() * 10 + config.mnuStartup->checked());
        };
        // Typed, dropped, browsed; slot 1's caption is the computer's, which sets none.
        config.App[1]->setText(L"typed.exe");
        config.App[1]->Drop(L"dropped.exe");
        config.Caption[1]->setText(L"Typed");
        config.mnuStartup->Click();
        f.fileToChoose = L"C:\\chosen.exe";
        f.log.clear();
        config.cmdApp[1]->Click();
        config.cmdApp[3]->Click();  // a free slot still browses
        EXPECT_EQ(f.log.size(), 1u);
        config.Command11->Click();
        config.Command12->Click();
        f.app.group.get()->chkApp[3]->setValue(1);
        f.app.group.get()->Command2->Click();
        EXPECT_EQ(seen(),
                  L"c.exe||on|item shown:  locked, u2.exe||on|item shown:  locked, "
                  L"C:\\chosen.exe||on|item shown: , -----11");
        config.App[3]->setText(L"unsaved");
        f.computerPolicy.clear();
        f.userPolicy = byKey({L"App2=new2.exe"});
        f.policyChanged();
        EXPECT_EQ(seen(),
                  L"own.exe|Own|on|item shown: Own, new2.exe||on|item shown:  locked, "
                  L"unsaved||on|item shown: , +++-+100");
        config.unload(static_cast<ui::UnloadMode>(way));
        EXPECT_EQ(f.stored[L"App1"] + f.stored[L"Caption1"] + f.stored[L"Startup"] +
                      f.stored[L"App3"] + to_wstring(f.stored.count(L"App2")) +
                      f.stored[L"chkGroupE"],
                  L"own.exeOwnFalseunsaved01");
    }
}

using Names = std::multiset<std::string>;

// Group 1 of every match of the pattern in the text.
Names matches(const std::string& text, const std::string& pattern) {
    Names found;
    const std::regex re(pattern);
    for (std::sregex_iterator it(text.begin(), text.end(), re), end; it != end; ++it)
        found.insert((*it)[1]);
    return found;
}

// Each policy sets, under the program's policy key and as text, exactly the keys of one setting
// the program takes from policy; the language file defines every text and presentation named.
TEST(PolicyTemplates, EachPolicySetsOneSettingAsTextAndTheLanguageFileDefinesWhatItNames) {
    auto read = [](const char* file) {
        std::ifstream in(std::string(TILLERDOCK_SOURCE_DIR "/packaging/policy/") + file);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string admx = read("Tillerdock.admx"), adml = read("en-US/Tillerdock.adml");
    const std::wstring key = policyKeyPath(settings::kAppName, settings::kSection);
    std::set<Names> settings, covered;  // the key names of each setting
    for (const auto& setting : settings::policySettings()) {
        Names keys;
        for (const auto& k : setting.keys) keys.insert(std::string(k.name.begin(), k.name.end()));
        settings.insert(keys);
    }
    for (auto at = admx.find("<policy "); at != std::string::npos;
         at = admx.find("<policy ", at + 1)) {
        const std::string policy = admx.substr(at, admx.find("</policy>", at) - at);
        EXPECT_TRUE(covered.insert(matches(policy, R"(valueName="([^"]*))")).second) << policy;
        EXPECT_EQ(matches(policy, R"(\skey="([^"]*))"), Names{std::string(key.begin(), key.end())});
        // REG_SZ only: no number, list or multi-line text, and a number typed in kept as text.
        EXPECT_FALSE(std::regex_search(
            policy, std::regex(R"(<decimal value|longDecimal|multiText|<list|expandable="true")")));
        EXPECT_EQ(matches(policy, "<decimal (id)").size(), matches(policy, "(storeAsText)").size());
    }
    EXPECT_EQ(covered, settings);
    for (const std::string kind : {"string", "presentation"})
        for (const auto& id : matches(admx, R"(\$\()" + kind + R"(\.(\w+)\))"))
            EXPECT_NE(adml.find("<" + kind + " id=\"" + id + "\">"), std::string::npos) << id;
}

}  // namespace td::test
