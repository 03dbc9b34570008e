#include "platform/core/PgError.h"
#include "platform/core/SystemText.h"

PgError::PgError(int number, QString description)
    : number_(number), description_(std::move(description)), utf8_(description_.toUtf8()) {}

// The engine's own texts are English; she reads a Japanese sentence first.
PgError PgError::engine(const QString& description) {
    return PgError(Engine, systemtext::inJapanese(description));
}

QString PgError::standardText() const { return standardErrorText(number_); }

QString standardErrorText(int number) {
    switch (number) {
        case PgError::InvalidCall:
            return QStringLiteral("プロシージャの呼び出し、または引数が不正です。");
        case PgError::Overflow:
            return QStringLiteral("オーバーフローしました。");
        case PgError::TypeMismatch:
            return QStringLiteral("型が一致しません。");
        case PgError::PermissionDenied:
            return QStringLiteral("書き込みできません。");
        case PgError::PathAccess:
            return QStringLiteral("パス名が無効です。");
        case PgError::InvalidNull:
            return QStringLiteral("Null の使い方が不正です。");
        case PgError::NewerFile:
            return QStringLiteral(
                "このデータファイルは新しい版のSelvaneで保存されています。\r新しい版のSelvaneで開いて下さい"
                "。");
        default:
            return QStringLiteral("アプリケーション定義またはオブジェクト定義のエラーです。");
    }
}
