#include <gtest/gtest.h>

#include "app/frmConfig.h"
#include "group/frmGroup.h"
#include "slots/settings_layout.h"
#include "support/fakes.h"

namespace td::test {

TEST(Startup, EmptyStoreShowsTheWindowWithNoSlotItems) {
    Fixture f;
    f.app.start();
    auto config = f.app.config.get();
    EXPECT_TRUE(config->visible());
    for (int n = 1; n <= kSlotCount; ++n) {
        EXPECT_EQ(config->App[n]->text(), L"");
        EXPECT_FALSE(config->mnu[n]->visible());
    }
    EXPECT_TRUE(f.store.writes().empty());
}

}  // namespace td::test
