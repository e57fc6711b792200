#include <algorithm>
#include <ctime>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "module-zem_language/command_text.h"
#include "module-zem_language/parser.h"
#include "module-zem_language/scanner.h"
#include "support/alert_recorder.h"
#include "support/failure.h"

namespace {

// The current token's leaf printed, and its text when it differs; frees both.
std::string take_attribute()
{
    std::string value = Attribute.Tree ? joined(" ", printed_tree(Attribute.Tree)) : "";
    if (Attribute.Text && value != joined(" ", Attribute.Text) && value != joined(" \"", Attribute.Text, "\""))
        value += joined(" text ", Attribute.Text);
    ReleaseTree(Attribute.Tree);
    delete[] Attribute.Text;
    Attribute.Tree = NoTree;
    Attribute.Text = nullptr;
    return value;
}

// Every token of the file being read, as "line,column name value", with the
// scanner's messages where they come, up to and including the end of file.
std::vector<std::string> tokens_until_end(alert_recorder& alerts)
{
    std::vector<std::string> log;
    for (;;) {
        int code = GetToken();
        for (std::string& line : alerts.alerts) log.push_back(line.substr(0, line.size() - 1));
        alerts.alerts.clear();
        log.push_back(std::to_string(Attribute.Position.Line) + "," + std::to_string(Attribute.Position.Column) +
                      " " + Parser_TokenName[code] + take_attribute());
        if (code == tkEndOfFile) return log;
    }
}

std::vector<std::string> tokens_of(const std::string& text)
{
    command_file file(text);
    alert_recorder alerts;
    BeginFile(file.path().c_str());
    return tokens_until_end(alerts);
}

using lines = std::vector<std::string>;

}

TEST(Scanner, TokensPositionsAndMessages)
{
    struct Case {
        std::string text;
        lines tokens;
    };
    const std::vector<Case> cases = {
        {"", {"1,1 _EndOfFile"}},
        {"abc123 _x tensor_1 Tensor 1abc 3/4\n",
         {"1,1 identifier abc123", "1,8 identifier _x", "1,11 identifier tensor_1", "1,20 identifier Tensor",
          "1,27 number 1", "1,28 identifier abc", "1,32 number 3", "1,33 /", "1,34 number 4", "2,1 _EndOfFile"}},
        {"-5 - 5 +5",
         {"1,1 number -5", "1,4: Error       illegal character: -", "1,6 number 5",
          "1,8: Error       illegal character: +", "1,9 number 5", "1,10 _EndOfFile"}},
        {"1.5e3 .5 -.5 1. 1E5 2.0E+10 1.5E-3 007",
         {"1,1 real 1.5", "1,4 identifier e3", "1,7 real 0.5", "1,10 real -0.5", "1,14 number 1",
          "1,15: Error       illegal character: .", "1,17 number 1", "1,18 identifier E5", "1,21 real 2e+10",
          "1,29 real 0.0015", "1,36 number 7", "1,39 _EndOfFile"}},
        // Comments do not nest, and keep counting lines and tabs.
        {"/* a /* b */ c */ /*\n\t*/x",
         {"1,14 identifier c", "1,16: Error       illegal character: *", "1,17 /", "2,11 identifier x",
          "2,12 _EndOfFile"}},
        // A string keeps its line feeds and backslashes; what follows it keeps its true place.
        {"s = \"a\n\tb\" t \"x\\\"y\\\\\"",
         {"1,1 identifier s", "1,3 =", "1,5 string \"a\n\tb\"", "2,12 identifier t", "2,14 string \"x\\\"y\\\\\"",
          "2,22 _EndOfFile"}},
        // Bytes above 127 are illegal everywhere, also in a string, which then is
        // none; a character that would not show is shown by its code.
        {"a\xe9z /*\xe9*/ \"\xe9\"",
         {"1,1 identifier a", "1,2: Error       illegal character: code 233", "1,3 identifier z",
          "1,7: Error       illegal character: code 233", "1,11: Error       illegal character: \"",
          "1,12: Error       illegal character: code 233", "1,13: Error       illegal character: \"",
          "1,14 _EndOfFile"}},
        {"a\rb \x7f \"\x7f\"",
         {"1,1 identifier a", "1,2: Error       illegal character: code 13", "1,3 identifier b",
          "1,5: Error       illegal character: code 127", "1,7 string \"\x7f\"", "1,10 _EndOfFile"}},
        // A string cannot hold a NUL byte: reported where it stands.
        {std::string("\"a\n\0b\"", 6),
         {"2,1: Error       illegal character: code 0", "1,1 string \"a\n\"", "2,4 _EndOfFile"}},
        // A string cut off by the end of the file is none: the text after its quote
        // is read again, NUL bytes and all.
        {std::string("\"a\0\tb", 5),
         {"1,1: Error       illegal character: \"", "1,2 identifier a", "1,3: Error       illegal character: code 0",
          "1,9 identifier b", "1,10 _EndOfFile"}},
        // A quote inside a failed string fails as well, a comment read again may end
        // past the failing byte, and a quote right after that byte starts a string.
        {"\"\\\"/*\xe9*/ \"\\\n\"y\"",
         {"1,1: Error       illegal character: \"", "1,2: Error       illegal character: \\",
          "1,3: Error       illegal character: \"", "1,6: Error       illegal character: code 233",
          "1,10: Error       illegal character: \"", "1,11: Error       illegal character: \\", "2,1 string \"y\"",
          "2,4 _EndOfFile"}},
        // Numbers beyond 32 bits are reported and held at the nearest bound.
        {"2147483647 -2147483648 2147483648 -99999999999",
         {"1,1 number 2147483647", "1,12 number -2147483648", "1,24: Error       number out of range: 2147483648",
          "1,24 number 2147483647", "1,35: Error       number out of range: -99999999999", "1,35 number -2147483648",
          "1,47 _EndOfFile"}},
    };
    for (const Case& c : cases) EXPECT_EQ(tokens_of(c.text), c.tokens) << c.text;
}

// An unclosed comment fails, and the next file starts in the normal state. Faults
// write their line to the error stream and call the program's exit hook, here
// one that raises a failure; a file that cannot be opened leaves the file being
// read in place.
TEST(Scanner, NestedFilesUnclosedCommentsAndFaults)
{
    command_file open_comment("a /* b"), next("c"), file("a b");
    alert_recorder alerts;
    auto first_token = [](const command_file& f) {
        BeginFile(f.path().c_str());
        EXPECT_EQ(GetToken(), tkIdentifier);
        take_attribute();
    };
    first_token(open_comment);
    EXPECT_EQ(failure_of([] { GetToken(); }), run_time("unclosed comment"));
    BeginFile(next.path().c_str());
    EXPECT_EQ(tokens_until_end(alerts), (lines{"1,1 identifier c", "1,2 _EndOfFile"}));

    void (*previous)() = Scanner_Exit;
    Scanner_Exit = [] { ZEM_FAIL("scanner failed"); };
    auto fault_line = [](auto action) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(failure_of(action), run_time("scanner failed"));
        return testing::internal::GetCapturedStderr();
    };
    first_token(file);
    EXPECT_EQ(fault_line([&] { BeginFile((file.path() + "_missing").c_str()); }),
              "   1,  1: Scanner: cannot open input file\n");
    EXPECT_EQ(ScannerFault(), "cannot open input file " + file.path() + "_missing");
    EXPECT_EQ(tokens_until_end(alerts), (lines{"1,3 identifier b", "1,4 _EndOfFile"}));
    for (int open = 0; open < 16; ++open) BeginFile(file.path().c_str());
    EXPECT_EQ(fault_line([&] { BeginFile(file.path().c_str()); }),
              "   1,  4: Scanner: too many nested include files\n");
    for (int open = 0; open < 16; ++open) CloseFile();
    EXPECT_EQ(GetToken(), tkEndOfFile);
    Scanner_Exit = previous;
}

// TokenPtr and TokenLength hold the text of the token returned last, which
// GetWord copies; after the end of the file the token is empty.
TEST(Scanner, CurrentTokenText)
{
    command_file file("abc123 1abc -5 /* c */ \"s\\\"t\"\n3/4");
    alert_recorder alerts;
    BeginFile(file.path().c_str());
    lines texts;
    while (GetToken() != tkEndOfFile) {
        char word[16];
        EXPECT_EQ(GetWord(word), TokenLength);
        texts.emplace_back(TokenPtr, TokenLength);
        EXPECT_EQ(texts.back(), word);
        take_attribute();
    }
    EXPECT_EQ(texts, (lines{"abc123", "1", "abc", "-5", "\"s\\\"t\"", "3", "/", "4"}));
    EXPECT_EQ(TokenLength, 0);
}

// The faults that no file brings about: each writes the position in Attribute
// and its line, then calls the exit hook.
TEST(Scanner, FaultLinesGoToTheErrorStream)
{
    void (*previous)() = Scanner_Exit;
    Scanner_Exit = [] { ZEM_FAIL("scanner failed"); };
    Attribute.Position = {12, 5};
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[] { yyErrorMessage(scanner_fault::internal_error); }, "internal error"},
        {[] { yyErrorMessage(scanner_fault::out_of_memory); }, "out of memory"},
        {[] { CloseFile(); }, "file stack underflow (too many calls of CloseFile)"},
    };
    for (const auto& [action, text] : cases) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(failure_of(action), run_time("scanner failed"));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "  12,  5: Scanner: " + text + "\n");
        EXPECT_EQ(ScannerFault(), text);
    }
    Scanner_Exit = previous;
}

// Before any file is begun, GetToken reads the standard input (in a fresh
// child process, whose standard input is a pipe holding the text).
TEST(Scanner, ReadsStandardInputWhenNoFileWasBegun)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto scan_standard_input = [] {
        int ends[2];
        if (pipe(ends) != 0 || write(ends[1], "Ab_1 =\t5", 8) != 8) return false;
        close(ends[1]);
        dup2(ends[0], 0);
        BeginScanner();
        BeginParser();
        char lower[8], upper[8];
        bool ok = GetToken() == tkIdentifier && GetLower(lower) == 4 && GetUpper(upper) == 4 &&
                  std::string(lower) == "ab_1" && std::string(upper) == "AB_1" && input() == ' ' &&
                  GetToken() == tkEquals && Attribute.Position.Column == 6 && input() == '\t' && input() == '5' &&
                  input() == 0 && GetToken() == tkEndOfFile;
        CloseParser();
        CloseScanner();
        return ok && yyToLower['Q'] == 'q' && yyToUpper['{'] == '{';
    };
    EXPECT_EXIT(_exit(scan_standard_input() ? 0 : 1), testing::ExitedWithCode(0), "");
}

// A string of NUL bytes is reported once at its first; one that is never closed
// reports its quote and then each byte, and so does one of escaped quotes.
TEST(Scanner, StringsOfNulBytesAndEscapedQuotes)
{
    constexpr std::size_t count = 200000;
    const std::string nuls(count, '\0');
    auto message = [](std::size_t column, const char* what) {
        return "1," + std::to_string(column) + ": Error       illegal character: " + what;
    };
    EXPECT_EQ(tokens_of("\"" + nuls + "\""),
              (lines{message(2, "code 0"), "1,1 string \"\"", "1," + std::to_string(count + 3) + " _EndOfFile"}));

    lines expected = {message(1, "\"")};
    for (std::size_t column = 2; column <= count + 1; ++column) expected.push_back(message(column, "code 0"));
    expected.push_back("1," + std::to_string(count + 2) + " _EndOfFile");
    EXPECT_EQ(tokens_of("\"" + nuls), expected);

    std::string quotes;
    expected.clear();
    for (std::size_t column = 1; column < count; column += 2) {
        quotes += "\"\\";
        expected.push_back(message(column, "\""));
        expected.push_back(message(column + 1, "\\"));
    }
    expected.push_back("1," + std::to_string(count + 1) + " _EndOfFile");
    EXPECT_EQ(tokens_of(quotes), expected);
}

// A long token costs time in proportion to its length: processor time, so
// that other work on the machine counts less.
TEST(Scanner, LongTokensInLinearTime)
{
    auto seconds_to_scan = [](std::size_t length) {
        command_file file("\"" + std::string(length, 'a') + "\"");
        alert_recorder alerts;
        double best = 1e9;
        for (int round = 0; round < 5; ++round) {
            const std::clock_t start = std::clock();
            BeginFile(file.path().c_str());
            EXPECT_EQ(tokens_until_end(alerts).size(), 2u);
            best = std::min(best, double(std::clock() - start) / CLOCKS_PER_SEC);
        }
        return best;
    };
    const double one = seconds_to_scan(1 << 20), four = seconds_to_scan(4 << 20);
    EXPECT_LT(four / one, 6.0) << one << " s for 1 MB, " << four << " s for 4 MB";
}
