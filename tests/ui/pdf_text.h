#pragma once
// Reads a PDF back as a person would: its text through poppler's pdftotext (in its
// layout mode, which keeps the fixed-pitch columns), page by page, and its page count.
#include <gtest/gtest.h>

#include <QProcess>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

namespace quilvern::test {

inline QString RunTool(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << tool.toStdString();
    EXPECT_EQ(process.exitCode(), 0)
        << tool.toStdString() << ": " << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Each page's lines, trailing blanks dropped.
inline std::vector<std::vector<QString>> PdfPages(const std::string& path) {
    const QString text =
        RunTool(QStringLiteral("pdftotext"),
                {QStringLiteral("-layout"), QString::fromStdString(path), QStringLiteral("-")});
    std::vector<std::vector<QString>> pages;
    for (const QString& page : text.split(QLatin1Char('\f'))) {
        if (page.trimmed().isEmpty() && !pages.empty())
            continue;  // after the last page's form feed
        std::vector<QString> lines;
        for (QString line : page.split(QLatin1Char('\n'))) {
            while (line.endsWith(QLatin1Char(' ')))
                line.chop(1);
            lines.push_back(line);
        }
        while (!lines.empty() && lines.back().isEmpty())
            lines.pop_back();
        pages.push_back(lines);
    }
    return pages;
}

inline int PdfPageCount(const std::string& path) {
    const QString info = RunTool(QStringLiteral("pdfinfo"), {QString::fromStdString(path)});
    for (const QString& line : info.split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("Pages:")))
            return line.mid(6).trimmed().toInt();
    }
    return -1;
}

}  // namespace quilvern::test
