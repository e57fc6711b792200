#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "front-end-support/idents.h"
#include "front-end-support/sets.h"
#include "module-zem_language/errors.h"
#include "support/alert_recorder.h"

TEST(Errors, ExampleLinesComeOutExactly)
{
    alert_recorder recorder;
    ErrorMessage(xxSyntaxError, xxError, {12, 5});
    ErrorMessageI(xxExpectedTokens, xxInformation, {12, 5}, xxString, "; ");
    ErrorMessageI(xxTokenInserted, xxRepair, {12, 5}, xxString, ";");
    char dollar = '$';
    MessageI("illegal character", xxError, {3, 17}, xxCharacter, &dollar);
    EXPECT_EQ(recorder.alerts, (std::vector<std::string>{
                                   "12,5: Error       syntax error\n",
                                   "12,5: Information expected tokens: ; \n",
                                   "12,5: Repair      token inserted : ;\n",
                                   "3,17: Error       illegal character: $\n",
                               }));
}

TEST(Errors, ClassesCodesAndInformation)
{
    int i = -42;
    short s = 7;
    long l = 1234567890123L;
    float f = 2.5F;
    char yes = 1;
    tIdent ident = MakeIdent("gamma", 5);
    tSet set;
    MakeSet(&set, 10);
    Include(&set, 2);
    Include(&set, 7);
    std::string long_name(1000, 'n');
    alert_recorder recorder;
    ErrorMessage(xxNoText, xxNote, {1, 1});
    ErrorMessageI(xxNoText, xxWarning, {1, 1}, xxInteger, &i);
    ErrorMessage(xxTooManyErrors, 9, {1, 2});
    ErrorMessage(17, xxRestriction, {1, 3});
    Message("text", 0, {1, 4});
    MessageI("short", xxError, {2, 1}, xxShort, &s);
    MessageI("long", xxError, {2, 1}, xxLong, &l);
    MessageI("real", xxError, {2, 1}, xxReal, &f);
    MessageI("bool", xxError, {2, 1}, xxBoolean, &yes);
    MessageI("set", xxError, {2, 1}, xxSet, &set);
    MessageI("ident", xxError, {2, 1}, xxIdent, &ident);
    MessageI("odd", xxError, {2, 1}, 12, &i);
    Message(("variable '" + long_name + "' not defined").c_str(), xxError, {70000, 3});
    EXPECT_EQ(recorder.alerts, (std::vector<std::string>{
                                   "1,1: Note        \n",
                                   "1,1: Warning     : -42\n",
                                   "1,2: Error class: 9 too many errors \n",
                                   "1,3: Restriction  error code: 17\n",
                                   "1,4: Error class: 0 text\n",
                                   "2,1: Error       short: 7\n",
                                   "2,1: Error       long: 1234567890123\n",
                                   "2,1: Error       real: 2.5\n",
                                   "2,1: Error       bool: T\n",
                                   "2,1: Error       set: { 2 7}\n",
                                   "2,1: Error       ident: gamma\n",
                                   "2,1: Error       odd: info class: 12\n",
                                   "70000,3: Error       variable '" + long_name + "' not defined\n",
                               }));
    ReleaseSet(&set);
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
