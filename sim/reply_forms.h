#pragma once
// The reply forms of the simulated instrument: one row per query it answers,
// each with the form of its reply and the reason for that form, so that a
// check against a real instrument reads one table.

#include <QByteArrayView>
#include <span>

namespace sim {

struct ReplyForm
{
    const char *query;  // lower case, blanks trimmed and single
    const char *form;   // text, with %name for a value of the model
    const char *why;    // what the program does with the reply
};

std::span<const ReplyForm> replyForms();

// The row of a query already in lower case with single blanks; nullptr when
// the instrument does not know it.
const ReplyForm *findReplyForm(QByteArrayView query);

// The words the instrument answers a function query with, per display; a
// null word: the function is not offered on that display.
struct FunctionWord
{
    const char *function;  // the model's code, as the panel names the function
    const char *word1;     // "conf:func?"
    const char *word2;     // "conf2:func?"
};
std::span<const FunctionWord> functionWords();
const FunctionWord *findFunctionWord(QByteArrayView function);  // any letter case

// The codes the instrument answers a range query with. The two displays
// code some ranges differently; a null code: no such range on that display.
struct RangeCode
{
    const char *function;
    const char *label;  // the range as the panel labels it
    const char *code1;  // "conf:rang?"
    const char *code2;  // "conf2:rang?"
};
std::span<const RangeCode> rangeCodes();
const RangeCode *findRangeCode(QByteArrayView function, QByteArrayView label);  // any letter case

// The scanner's functions: the code "rout:chan 1NN,CODE,RANGE,AUTO" sends
// for a channel, and the keyword "rout:chan? 1NN" answers with.
struct ScannerFunction
{
    int code;
    const char *keyword;
    double typical;  // what a channel of the function reads in auto range
};
std::span<const ScannerFunction> scannerFunctions();
const ScannerFunction *findScannerFunction(int code);

} // namespace sim
