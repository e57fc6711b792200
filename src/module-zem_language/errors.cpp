#include "module-zem_language/errors.h"

#include <cstring>
#include <sstream>
#include <string>

#include "front-end-support/idents.h"
#include "front-end-support/sets.h"
#include "front-end-support/system.h"
#include "module-object/error.h"
#include "module-object/text_stream.h"

namespace {

void yyExit() { Exit(1); }

// The stream of the set being written, for PrintElmt, which ForallDo calls
// with nothing but the element.
std::ostream* set_stream = nullptr;

void PrintElmt(int element) { *set_stream << ' ' << element; }

void MyWriteSet(std::ostream& out, const tSet* set)
{
    set_stream = &out;
    out << '{';
    ForallDo(set, PrintElmt);
    out << '}';
    set_stream = nullptr;
}

void MyWriteIdent(std::ostream& out, tIdent ident) { out << StText(GetStringRef(ident)); }

// "12,5": unpadded, unlike the support library's WritePosition to a FILE.
void WritePosition(std::ostream& out, tPosition position) { out << position.Line << ',' << position.Column; }

void WriteHead(std::ostream& out, tPosition position, int message_class)
{
    static const char* const words[] = {"Fatal       ", "Restriction ", "Error       ", "Warning     ",
                                        "Repair      ", "Note        ", "Information "};
    WritePosition(out, position);
    out << ": ";
    if (message_class >= xxFatal && message_class <= xxInformation)
        out << words[message_class - xxFatal];
    else
        out << "Error class: " << message_class << ' ';
}

void WriteCode(std::ostream& out, int code)
{
    static const char* const texts[] = {"", "syntax error", "expected tokens", "restart point", "token inserted ",
                                        "too many errors "};
    if (code >= xxNoText && code <= xxTooManyErrors)
        out << texts[code];
    else
        out << " error code: " << code;
}

// A character that would show nothing, or garble the line, goes by its code.
void WriteCharacter(std::ostream& out, char c)
{
    const auto code = static_cast<unsigned char>(c);
    if (code >= ' ' && code < 127)
        out << c;
    else
        out << "code " << unsigned(code);
}

void WriteInfo(std::ostream& out, int info_class, const void* info)
{
    out << ": ";
    switch (info_class) {
    case xxInteger: out << *static_cast<const int*>(info); break;
    case xxShort: out << *static_cast<const short*>(info); break;
    case xxLong: out << *static_cast<const long*>(info); break;
    case xxReal: out << static_cast<double>(*static_cast<const float*>(info)); break;
    case xxBoolean: out << (*static_cast<const char*>(info) ? 'T' : 'F'); break;
    case xxCharacter: WriteCharacter(out, *static_cast<const char*>(info)); break;
    case xxString: out << static_cast<const char*>(info); break;
    case xxSet: MyWriteSet(out, static_cast<const tSet*>(info)); break;
    case xxIdent: MyWriteIdent(out, *static_cast<const tIdent*>(info)); break;
    default: out << "info class: " << info_class;
    }
}

}

void (*Errors_Exit)() = yyExit;

void ErrorMessage(int code, int message_class, tPosition position)
{
    WriteMessage(true, code, message_class, position, xxNone, nullptr);
}

void ErrorMessageI(int code, int message_class, tPosition position, int info_class, const void* info)
{
    WriteMessage(true, code, message_class, position, info_class, info);
}

void Message(const char* text, int message_class, tPosition position)
{
    MessageI(text, message_class, position, xxNone, nullptr);
}

void MessageI(const char* text, int message_class, tPosition position, int info_class, const void* info)
{
    const tIdent ident = MakeIdent(text, static_cast<int>(std::strlen(text)));
    if (ident == 0) ZEM_FAIL("out of memory");
    WriteMessage(false, ident, message_class, position, info_class, info);
}

void WriteMessage(bool is_code, int code_or_ident, int message_class, tPosition position, int info_class,
                  const void* info)
{
    text_stream line;
    WriteHead(line, position, message_class);
    if (is_code)
        WriteCode(line, code_or_ident);
    else
        MyWriteIdent(line, code_or_ident);
    if (info_class != xxNone) WriteInfo(line, info_class, info);
    line << '\n';
    message(line.str().c_str());
    if (message_class == xxFatal) Errors_Exit();
}
