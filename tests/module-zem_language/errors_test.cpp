#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "front-end-support/idents.h"
#include "front-end-support/sets.h"
#include "module-zem_language/errors.h"
#include "support/alert_recorder.h"

// A set is written with its elements in ascending order, an identifier and a
// message text by their whole text, however long.
TEST(Messages, SetsIdentifiersAndLongTexts)
{
    alert_recorder alerts;
    tSet set;
    MakeSet(&set, 40);
    for (int element : {23, 1, 40}) Include(&set, element);
    MessageI("set", xxNote, {2, 3}, xxSet, &set);
    ReleaseSet(&set);
    const tIdent name = MakeIdent("name", 4);
    MessageI("identifier", xxWarning, {4, 1}, xxIdent, &name);
    const std::string long_text(300, 'x');
    Message(long_text.c_str(), 9, {1, 1});
    EXPECT_EQ(alerts.alerts, (std::vector<std::string>{"2,3: Note        set: { 1 23 40}\n",
                                                        "4,1: Warning     identifier: name\n",
                                                        "1,1: Error class: 9 " + long_text + "\n"}));
}
