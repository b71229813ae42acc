// The ten slots: the stored text forms, editing, Browse, OK, Cancel and the launch menu.
#include "group/frmGroup.h"
#include "slots/settings_layout.h"
#include "support/fakes.h"

namespace td::test {

TEST(StoredTexts, TruthValuesAreWordsInAnyCaseOrNumbersAndBoxStatesWhole16BitNumbers) {
    using settings::toInteger16, settings::toTruthValue;
    for (const wchar_t* t : {L"True", L"tRUE", L"-1", L" .5"})
        EXPECT_EQ(toTruthValue(t), true) << t;
    for (const wchar_t* t : {L"false", L" 0 ", L"-0.0"}) EXPECT_EQ(toTruthValue(t), false) << t;
    for (const wchar_t* t : {L"", L"yes", L"1x", L"--1", L"."}) EXPECT_FALSE(toTruthValue(t)) << t;
    for (const wchar_t* t : {L" 2 ", L"+2", L"2"}) EXPECT_EQ(toInteger16(t), 2) << t;
    EXPECT_EQ(toInteger16(L"32767"), 32767);
    EXPECT_EQ(toInteger16(L"-32768"), -32768);
    for (const wchar_t* t : {L"32768", L"-32769", L"", L"-", L"1.0", L"1 2"})
        EXPECT_FALSE(toInteger16(t)) << t;
}

// Two copies of the program, another program writing too, values of other kinds: what a copy
// did not change, and someone else did, stays.
TEST(SharedSettings, AValueSomeoneElseChangedStaysUnlessThisCopyChangedIt) {
    Fixture a;
    a.otherKinds = {L"Startup", L"App5", L"chkGApp1"};
    a.start({L"App3=old", L"Caption4=old", L"chkGApp2=1"});
    Fixture b(&a);
    b.start();
    a.config->App[1]->setText(L"fromA");
    a.config->Command11->Click();
    b.config->App[2]->setText(L"fromB");
    b.config->Command11->Click();
    a.stored[L"Caption4"] = L"outside";
    a.config->App[5]->setText(L"typed");  // an edit replaces a value of any kind
    b.app.group.get()->chkApp[3]->setValue(1);
    b.app.group.get()->Command2->Click();
    a.config->mnuExit->Click();
    b.config->mnuExit->Click();
    std::wstring kept;
    for (const wchar_t* key :
         {L"App1", L"App2", L"App3", L"Caption4", L"App5", L"chkGApp2", L"chkGApp3"})
        kept += a.stored[key] + L"|";
    EXPECT_EQ(kept, L"fromA|fromB|old|outside|typed|1|1|");
    EXPECT_EQ(a.otherKinds, (std::set<std::wstring>{L"Startup", L"chkGApp1"}));
}

using Slots = Run;

TEST_F(Slots, TypingAndBrowseUpdateThePathCaptionBoxAndMenuItemAtOnce) {
    const std::wstring setup = L"dialog Executables (*.exe)|*.exe|All Files (*.*)|*.*| 1 4 ";
    const std::wstring chosen = L"C:\\Program Files\\Ed\\ed.exe";
    start({L"Caption1=Mail"});
    config->App[1]->setText(L"m");  // the first character
    EXPECT_EQ(slotView(*config, 1), L"m|Mail|on|item shown: Mail");
    config->App[1]->setText(L"");  // the last one deleted
    EXPECT_EQ(slotView(*config, 1), L"|Mail|off|item hidden: Mail");
    config->App[1]->setText(L" ");
    config->Caption[1]->setText(L"Mai");
    EXPECT_EQ(slotView(*config, 1), L" |Mai|on|item shown: Mai");
    log.clear();
    fileToChoose = chosen;
    config->cmdApp[2]->Click();
    EXPECT_EQ(slotView(*config, 2), chosen + L"||on|item shown: ");
    fileToChoose.clear();
    config->cmdApp[3]->Click();  // offered the last choice, and cancelled
    EXPECT_EQ(config->App[3]->text(), L"");
    EXPECT_EQ(log, (Texts{setup, setup + chosen}));
    // A file dropped onto a path box counts as one chosen with Browse; the item shows the
    // program's icon.
    config->App[3]->Drop(L"\"C:\\My Tools\\t.exe\" -x");
    EXPECT_EQ(slotView(*config, 3), L"\"C:\\My Tools\\t.exe\" -x||on|item shown: ");
    EXPECT_EQ(config->mnu[3]->iconSource(), config->App[3]->text());
}

TEST_F(Slots, OkWritesThe21KeysOrKeepsTheWindowWhenAWriteFailsAndCancelRestoresThemAll) {
    start({L"Caption2=B"});
    config->App[1]->setText(L"a.exe");
    config->Caption[1]->setText(L"A");
    failingWrites[L"App4"] = L"Access is denied.";
    config->Command11->Click();
    EXPECT_EQ(log.back(),
              L"message Tillerdock (48) over Tillerdock: Tillerdock could not save "
              L"these settings:\n\nthe program of slot 4: Access is denied.\n\nYour "
              L"changes are still in the window. Press OK to try again.");
    EXPECT_EQ(windowView(*config), L"shown normal Hide");
    failingWrites.clear();
    writes.clear();
    config->Command11->Click();
    EXPECT_EQ(writes, keyValues(kMainKeys, L"",
                                {L"Startup=False", L"App1=a.exe", L"Caption1=A", L"Caption2=B"}));
    EXPECT_EQ(windowView(*config), L"hidden normal Configure");
    for (int n = 1; n <= kSlotCount; ++n) {
        config->App[n]->setText(n == 1 ? L"" : L"p");
        config->Caption[n]->setText(L"c");
    }
    config->mnuStartup->Click();
    reads.clear();
    config->Command12->Click();
    EXPECT_EQ(reads, kMainKeys);
    EXPECT_EQ(slotView(*config, 1), L"a.exe|A|on|item shown: A");
    EXPECT_EQ(slotView(*config, 2), L"|B|off|item hidden: B");
    for (int n = 3; n <= kSlotCount; ++n) EXPECT_EQ(slotView(*config, n), L"||off|item hidden: ");
    EXPECT_FALSE(config->mnuStartup->checked());
    EXPECT_EQ(windowView(*config), L"hidden normal Configure");
}

TEST_F(Slots, LaunchMenuStartsTheTypedTextOrSaysItIsNotFoundAndShowsThatPath) {
    const std::wstring typed = L"  \"C:\\My Tools\\t.exe\" /a  ";
    start({L"Startup=True", L"App2=old.exe", L"App3=C:\\gone.exe -q"});
    config->App[2]->setText(typed);  // not confirmed with OK
    failingStarts.insert(L"C:\\gone.exe -q");
    log.clear();
    config->mnu[2]->Click();
    config->mnu[3]->Click();
    // A plain show: not restored, not brought forward, the pair left as it was.
    EXPECT_EQ(windowView(*config), L"shown minimised Configure");
    EXPECT_EQ(config->focused(), config->App[3]);
    EXPECT_EQ(log, (Texts{L"start " + typed, L"start C:\\gone.exe -q",
                          L"message Tillerdocker (48) over Tillerdock: File ''C:\\gone.exe -q'' "
                          L"not found.",
                          L"Tillerdock shown"}));
}

}  // namespace td::test
