#include "core/RunError.h"

#include "core/NumberFormat.h"
#include "core/Text.h"
#include "core/UnitName.h"

namespace morvane {

RunError::RunError(std::int32_t number, std::u16string message)
    : std::runtime_error(toUtf8(message)), m_number(number), m_message(std::move(message)) {}

RunError runError(std::int32_t number) {
    switch (number) {
    case ErrorNumber::Overflow:
        return {number, u"オーバーフローしました。"};
    case ErrorNumber::FileNotFound:
        return {number, u"ファイルが見つかりません。"};
    case ErrorNumber::DeviceIo:
        return {number, u"デバイス I/O エラーです。"};
    case ErrorNumber::InputPastEnd:
        return {number, u"ファイルにこれ以上データがありません。"};
    case ErrorNumber::PermissionDenied:
        return {number, u"アクセス許可が拒否されました。"};
    case ErrorNumber::PathInvalid:
        return {number, u"パス名が無効です。"};
    default:
        return {number, u"アプリケーション定義またはオブジェクト定義のエラーです。"};
    }
}

std::u16string runErrorText(const RunError& e, std::u16string_view lineBreak) {
    if (e.number() == 0)
        return e.message();
    std::u16string text = u"実行時エラー '" + formatInteger(e.number()) + u"':";
    text += lineBreak;
    text += lineBreak;
    text += e.message();
    return text;
}

std::u16string errorText(const std::exception& error, std::u16string_view lineBreak) {
    if (const auto* e = dynamic_cast<const RunError*>(&error))
        return runErrorText(*e, lineBreak);
    return u"予期しないエラーが発生しました。" + std::u16string(lineBreak) + toUtf16(error.what());
}

std::u16string errorPlaceText(const ErrorPlace& place) {
    if (place.file.empty())
        return u"";
    std::u16string text = u"ファイル: " + toUtf16(shownUnitName(place.file).string());
    if (place.line > 0)
        text += u"　" + formatInteger(place.line) + u" 行目";
    return text;
}

std::int32_t checkedAdd(std::int32_t a, std::int32_t b) {
    std::int32_t sum;
    if (__builtin_add_overflow(a, b, &sum))
        throw runError(ErrorNumber::Overflow);
    return sum;
}

} // namespace morvane
