#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "module-zem_language/errors.h"
#include "support/alert_recorder.h"

// Each call and the line it shows, in order; a long text comes out whole.
TEST(Errors, LinesComeOutExactly)
{
    char dollar = '$';
    std::string long_name(1000, 'n');
    alert_recorder recorder;
    ErrorMessage(xxSyntaxError, xxError, {12, 5});
    ErrorMessageI(xxExpectedTokens, xxInformation, {12, 5}, xxString, "; ");
    ErrorMessageI(xxTokenInserted, xxRepair, {12, 5}, xxString, ";");
    MessageI("illegal character", xxError, {3, 17}, xxCharacter, &dollar);
    Message(("variable '" + long_name + "' not defined").c_str(), xxError, {70000, 3});
    EXPECT_EQ(recorder.alerts, (std::vector<std::string>{
                                   "12,5: Error       syntax error\n",
                                   "12,5: Information expected tokens: ; \n",
                                   "12,5: Repair      token inserted : ;\n",
                                   "3,17: Error       illegal character: $\n",
                                   "70000,3: Error       variable '" + long_name + "' not defined\n",
                               }));
}
