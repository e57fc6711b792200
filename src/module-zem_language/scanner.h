// The scanner of the command language: one token per call of GetToken, with its
// position and, for identifiers, strings, numbers and reals, a syntax-tree leaf
// made at once. Illegal characters are reported and skipped; only an unclosed
// comment and the scanner's own faults stop a scan. The start state (normal or
// comment) belongs to the scanner, not to a file.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "front-end-support/positions.h"
#include "module-zem_language/tree.h"

// Token codes; the parser's token-name table gives their names.
enum : int {
    tkEndOfFile = 0,
    tkIdentifier = 1,
    tkString = 2,
    tkNumber = 3,
    tkReal = 4,
    tkFile = 5,
    tkInclude = 6,
    tkLeftBrace = 7,
    tkRightBrace = 8,
    tkLeftParen = 9,
    tkRightParen = 10,
    tkSlash = 11,
    tkEquals = 12,
    tkBar = 13,
    tkSemicolon = 14,
    tkHash = 15,
    tkLeftBracket = 16,
    tkRightBracket = 17,
    tkMatrix = 18,
    tkIntMatrixGroup = 19,
    tkMatrixGroup = 20,
    tkRepresentationGroup = 21,
    tkCyclotomic = 22,
    tkCharacterTable = 23,
    tkTensor = 24,
};
constexpr int tkCount = 25;

struct tScanAttribute {
    tPosition Position;  // of the token's first character
    tTree Tree;          // the leaf of an identifier, string, number or real, else NoTree
    char* Text;          // a new[] copy of an identifier's or string's text, else null; the taker frees it
};

// The attribute of the token returned last.
extern tScanAttribute Attribute;

// The errors that the scanner has counted so far: numbers out of range, NUL
// bytes in strings, files whose reading stopped early. The parser adds those
// of its file to its own count.
extern int CountedScanErrors;

// Start and length of the current token inside the character buffer, until
// the next GetToken or input; an empty token after the end of a file.
extern const char* TokenPtr;
extern int TokenLength;

// Called after a fault of the scanner itself has been written to the standard
// error stream; ends the program with status 1 unless replaced.
extern void (*Scanner_Exit)();
// The scanner's own faults, in the order of their numbers.
enum class scanner_fault : int {
    internal_error,
    out_of_memory,
    too_many_files,
    stack_underflow,
    cannot_open,
    cannot_read,
};
// Writes the position in Attribute and the fault's line to the standard error
// stream, then calls Scanner_Exit.
void yyErrorMessage(scanner_fault fault, const std::string& file_name = "");
// The text of that fault, with the file's name where one is concerned
// ("cannot open input file x.zem").
const char* ScannerFault();

// Reads the named file next; the file being read, if any, resumes once it ends.
// A file that cannot be opened is a fault and leaves the scanner as it was.
void BeginFile(const char* file_name);
// The code of the next token; tkEndOfFile once the outermost file has ended.
// Called before any BeginFile, it reads the standard input.
int GetToken();
// Closes the file being read and resumes the one below.
void CloseFile();
// Ends the file being read right after the token read last, as if it ended
// there; whether a file was being read.
bool StopReading();
// How many files are open.
std::size_t OpenFiles();
// Closes the files opened since OpenFiles gave `depth`, which a failure left
// half read, so that the next file starts afresh, in the normal state.
void AbandonFiles(std::size_t depth);
// The attribute of a token that the parser inserts: the position in Attribute
// and a placeholder leaf and text for identifiers, strings, numbers and reals.
void ErrorAttribute(int token, tScanAttribute* attribute);
// Copies the current token's text and a NUL into `buffer` (room for its length
// + 1) and returns the length.
int GetWord(char* buffer);
// The same in lower case and in upper case, through yyToLower and yyToUpper.
int GetLower(char* buffer);
int GetUpper(char* buffer);
extern const std::array<unsigned char, 256> yyToLower;
extern const std::array<unsigned char, 256> yyToUpper;
// The next character of the file being read, which is then passed over; 0 at
// the end of the file.
int input();
void BeginScanner();
void CloseScanner();
