#include "platform/core/CommandLine.h"

#include <cstdio>

#include "platform/core/Desktop.h"

namespace platform {
namespace {

void print(std::FILE* to, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), to);
}

QString usageLine(const ToolUsage& u) {
    return QStringLiteral("用法：%1 %2\n").arg(QString::fromLocal8Bit(u.tool), u.synopsis);
}

int refuse(const ToolUsage& u, const QString& why) {
    print(stderr, QStringLiteral("%1：%2\n").arg(QString::fromLocal8Bit(u.tool), why));
    print(stderr, usageLine(u));
    print(stderr, QStringLiteral("用 %1 --help 查看帮助。\n").arg(QString::fromLocal8Bit(u.tool)));
    return 2;
}

}  // namespace

ToolArguments parseToolArguments(const QStringList& args, const ToolUsage& usage) {
    ToolArguments r;
    bool options = true;
    for (const QString& a : args) {
        if (options && a == QLatin1String("--")) {
            options = false;
        } else if (options && a == QLatin1String("--help")) {
            print(stdout, usageLine(usage));
            if (!usage.description.isEmpty()) print(stdout, usage.description + QLatin1Char('\n'));
            print(stdout, QStringLiteral("\n选项：\n"
                                         "  --help     显示本帮助并退出\n"
                                         "  --version  显示版本并退出\n"
                                         "  --         其后的参数都不是选项\n"));
            r.exitCode = 0;
            return r;
        } else if (options && a == QLatin1String("--version")) {
            print(stdout, QStringLiteral("%1 %2\n").arg(QString::fromLocal8Bit(usage.tool),
                                                        programVersion()));
            r.exitCode = 0;
            return r;
        } else if (options && a.size() > 1 && a.startsWith(QLatin1Char('-'))) {
            r.exitCode = refuse(usage, QStringLiteral("未知选项：%1").arg(a));
            return r;
        } else {
            r.operands << a;
        }
    }
    if (r.operands.size() < usage.minOperands || r.operands.size() > usage.maxOperands)
        r.exitCode = refuse(usage, QStringLiteral("参数个数不对"));
    return r;
}

ToolArguments parseToolArguments(int argc, char** argv, const ToolUsage& usage) {
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    return parseToolArguments(args, usage);
}

}  // namespace platform
