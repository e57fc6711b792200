#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "module-zem_language/errors.h"
#include "support/alert_recorder.h"

// Each call and the line it shows, in order.
TEST(Errors, ClassesCodesAndInformationComeOutExactly)
{
    int i = -42;
    char dollar = '$';
    std::string long_name(1000, 'n');
    alert_recorder recorder;
    ErrorMessage(xxSyntaxError, xxError, {12, 5});
    ErrorMessageI(xxExpectedTokens, xxInformation, {12, 5}, xxString, "; ");
    ErrorMessageI(xxTokenInserted, xxRepair, {12, 5}, xxString, ";");
    MessageI("illegal character", xxError, {3, 17}, xxCharacter, &dollar);
    ErrorMessage(xxNoText, xxNote, {1, 1});
    ErrorMessageI(xxNoText, xxWarning, {1, 1}, xxInteger, &i);
    ErrorMessage(xxTooManyErrors, 9, {1, 2});
    ErrorMessage(17, xxRestriction, {1, 3});
    Message(("variable '" + long_name + "' not defined").c_str(), xxError, {70000, 3});
    EXPECT_EQ(recorder.alerts, (std::vector<std::string>{
                                   "12,5: Error       syntax error\n",
                                   "12,5: Information expected tokens: ; \n",
                                   "12,5: Repair      token inserted : ;\n",
                                   "3,17: Error       illegal character: $\n",
                                   "1,1: Note        \n",
                                   "1,1: Warning     : -42\n",
                                   "1,2: Error class: 9 too many errors \n",
                                   "1,3: Restriction  error code: 17\n",
                                   "70000,3: Error       variable '" + long_name + "' not defined\n",
                               }));
}

TEST(Errors, FatalMessageCallsTheExitHookAfterShowingIt)
{
    static int exits;
    exits = 0;
    void (*previous)() = Errors_Exit;
    Errors_Exit = [] { ++exits; };
    alert_recorder recorder;
    Message("stop", xxFatal, {1, 1});
    Message("go on", xxError, {1, 1});
    Errors_Exit = previous;
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(recorder.alerts.front(), "1,1: Fatal       stop\n");
}
