// Field lines of a description file: "%TAG[suffix],"title",ACCESS,bits,TYPE,parameters".

#include "core/base/message.h"
#include "core/base/textfile.h"
#include "core/base/tokenizers.h"
#include "core/lists/listsstate.h"
#include "core/numeric/numberrules.h"
#include "core/tdl/tdlnumbers.h"
#include "core/tdl/templateparser.h"

namespace core::tdl {

namespace {

// The access word in any letter case: "ID" 0, "CAL" 1, "USR" 2, anything else 3.
int accessClass(std::string_view word)
{
    if (upperEquals(word, "ID"))
        return 0;
    if (upperEquals(word, "CAL"))
        return 1;
    if (upperEquals(word, "USR"))
        return 2;
    return 3;
}

bool typeWithoutParameters(const std::string& t)
{
    return t == "CHR5" || t == "SIGN" || t == "DATE" || t == "MDEF_REF-TYPE" || t == "DIRECTION" || t == "BINARY" ||
           t == "ASCII" || t == "ASCII-7BIT";
}

} // namespace

void TemplateParser::fieldLine()
{
    auto& rec = current();
    if (rec.fieldLast + 1 >= kFieldsMax) {
        MsgBox("Too many fields in template: " + rec.name);
        throw TdlError("too many fields");
    }
    const int index = ++rec.fieldLast;
    const bool fresh = static_cast<std::size_t>(index) >= rec.fields.stored();
    auto& f = rec.fields[static_cast<std::size_t>(index)];
    if (!fresh)
        f = TemplateField{};

    const std::string_view tag = NextCommaItem(rest_);
    const auto bracket = tag.find('[');
    if (bracket != std::string_view::npos) {
        f.tagSuffix = upper(std::string(tag.substr(bracket)));
        f.tagName = upper(std::string(tag.substr(0, bracket)));
    } else {
        f.tagName = upper(std::string(tag));
    }
    const auto& tags = listsState().FieldTagList;
    f.tag = tags ? tags->FindbyName(f.tagName) : nullptr;
    if (!f.tag)
        unknownTag(f.tagName);

    f.title = std::string(QuotedText(rest_));
    f.access = accessClass(NextWord(rest_));
    f.bitAddress = address_;
    const std::int32_t bits = toLong(NextToken(",", rest_));
    if (bits > 32767)
        throw TdlError("Overflow: bit count " + std::to_string(bits));
    f.bitCount = notNegative(bits, "bit count");
    advance(f.bitCount);
    f.typeKeyword = upper(std::string(NextWord(rest_)));
    fieldParameters(f);
}

void TemplateParser::fieldParameters(TemplateField& f)
{
    const std::string& t = f.typeKeyword;
    if (t == "UNINT") {
        f.format = std::string(QuotedText(rest_));
    } else if (t == "CONRES" || t == "CONRELRES") {
        f.p1 = numeric::Val(NextToken(",", rest_));
        f.p2 = numeric::Val(NextToken(",", rest_));
        f.format = std::string(QuotedText(rest_));
        f.unit = std::string(QuotedText(rest_));
    } else if (t == "SINGLE") {
        f.format = std::string(QuotedText(rest_));
        f.unit = std::string(QuotedText(rest_));
    } else if (t == "MANUFACTURER") {
        if (!manufacturerSeen_) {
            manufacturerSeen_ = true;
            current().manufacturerField = current().fieldLast;
        }
    } else if (!typeWithoutParameters(t)) {
        unknownType(f);
    }
}

void TemplateParser::unknownTag(const std::string& tagName)
{
    const std::string quoted = "\"%" + tagName + "\"";
    MsgBox("Tagname: " + quoted + " in desciptionfile: " + file_ + "\r\n" + "does not exist in taglistfile: TagList.xdl" +
           "\r\n\r\n" + "If Tagname: " + quoted + " is ok, then add it in taglistfile: TagList.xdl");
    throw ProgramEnd{1};
}

void TemplateParser::unknownType(const TemplateField& f)
{
    MsgBox("Error in Template Description file\r\n  Filename    : " + file_ + "\r\n  Title       : " + current().name +
           "\r\n  Description : " + f.title + "\r\n  Field type  : " + f.typeKeyword + " not known" +
           "\r\n  in line  : " + std::to_string(lineNo_) + "\r\n\r\n" + std::string(rest_));
}

} // namespace core::tdl
