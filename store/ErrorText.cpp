#include "store/ErrorText.h"

#include "store/Log.h"

namespace store {

Q_LOGGING_CATEGORY(lcStore, "yunjan.store")

QString userText(ErrorCode code) {
    switch (code) {
        case ErrorCode::MissingFile:
            return QStringLiteral("找不到数据库文件，或数据库文件无法读取。");
        case ErrorCode::WrongKey:
            return QStringLiteral("数据库密码错误，或该文件不是本软件的数据库。");
        case ErrorCode::Busy:
            return QStringLiteral("数据库文件正被其他程序使用，请关闭其他程序后再试。");
        case ErrorCode::DiskFull:
            return QStringLiteral("磁盘空间不足，数据无法写入，请清理磁盘后再试。");
        case ErrorCode::Corrupt:
            return QStringLiteral("数据库文件已损坏，请用备份恢复数据库。");
        case ErrorCode::Constraint:
            return QStringLiteral("数据不符合数据库的规则，修改没有保存。");
        case ErrorCode::Other:
            break;
    }
    return QStringLiteral("操作数据库时出错。");
}

QString errorCause(const std::exception& e) {
    if (const auto* se = dynamic_cast<const StoreError*>(&e)) {
        QString detail = se->message();
        if (se->engineCode() != 0) detail += QStringLiteral(" (SQLite %1)").arg(se->engineCode());
        return detail;
    }
    return QString::fromUtf8(e.what());
}

ErrorText errorText(const std::exception& e) {
    if (const auto* se = dynamic_cast<const StoreError*>(&e))
        return {userText(se->code()), errorCause(e)};
    // Errors of the other layers carry the program's own text.
    return {QString::fromUtf8(e.what()), QString()};
}

}  // namespace store
