// The report as a folder of its own and as a PDF file.
#include "report.h"

#include "report_errors.h"

#include "errors.h"
#include "project.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTextDocument>
#include <QUrl>

#include <filesystem>
#include <system_error>

namespace fmx {

namespace {

const QString kReportHtml = QStringLiteral("report.html");
constexpr QFileDevice::Permissions kFolderPermissions = QFile::ReadOwner | QFile::WriteOwner |
                                                        QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                                                        QFile::ReadOther | QFile::ExeOther;

[[noreturn]] void fileFailure(const QString& what, const QString& path, const QString& reason) {
    throw TBaseDataError(tdek_ReportFileFailure,
                         QStringLiteral("%1 \"%2\": %3").arg(what, QDir::toNativeSeparators(path), reason));
}

void writeWhole(const QString& fileName, const QByteArray& data) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        fileFailure(QStringLiteral("The report file cannot be written"), fileName, file.errorString());
}

// Copies every file and folder of from into to (which exists), leaving out skipFile at the top.
void copyTree(const QString& from, const QString& to, const QString& skipFile) {
    const QDir src(from);
    for (const QFileInfo& entry :
         src.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QString target = to + QStringLiteral("/") + entry.fileName();
        if (entry.isDir()) {
            if (!QDir().mkpath(target))
                fileFailure(QStringLiteral("The report folder cannot be created"), target,
                            QStringLiteral("permission denied or no room"));
            copyTree(entry.filePath(), target, QString());
        } else if (entry.fileName() != skipFile) {
            if (!QFile::copy(entry.filePath(), target))
                fileFailure(QStringLiteral("The template file cannot be copied to"), target,
                            QStringLiteral("permission denied or no room"));
        }
    }
}

// The files below dir, relative to it, folders before their contents.
QStringList relativeEntries(const QString& dir) {
    QStringList entries;
    QDirIterator it(dir, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    const QDir base(dir);
    while (it.hasNext())
        entries.append(base.relativeFilePath(it.next()));
    entries.sort(); // a folder sorts before the paths below it
    return entries;
}

// Builds the finished folder in staging: report.html, the charts and the template's resources.
void buildFolder(TProject& project, const QString& templateDir, const QString& staging) {
    const QString templateText = readReportTemplate(templateDir);
    genGIFImages(project, staging, QLatin1String(kReportChartPrefix), true);
    copyTree(templateDir, staging, QLatin1String(kReportTemplateFile));
    const QString html = fillReportTemplate(project, templateText, QStringLiteral("."), QStringLiteral("."));
    writeWhole(staging + QStringLiteral("/") + kReportHtml, html.toUtf8());
}

} // namespace

void writeReportFolder(TProject& project, const QString& templateDir, const QString& outDir) {
    registerReportExceptions();
    // Without a trailing separator, so that the parent is the folder above (not the folder itself).
    const QString target = QDir::cleanPath(QFileInfo(outDir).absoluteFilePath());
    const QFileInfo outInfo(target);
    if (outInfo.exists() && !outInfo.isDir())
        fileFailure(QStringLiteral("The report folder cannot be written"), target,
                    QStringLiteral("a file of that name is in the way"));
    const QString parent = QFileInfo(target).absolutePath();
    if (!QDir().mkpath(parent))
        fileFailure(QStringLiteral("The report folder cannot be created"), parent,
                    QStringLiteral("permission denied"));

    // The staging folder sits beside the target, on the same file system, so the files can be
    // renamed into place.
    QTemporaryDir staging(parent + QStringLiteral("/.") + QFileInfo(target).fileName() +
                          QStringLiteral(".report-XXXXXX"));
    if (!staging.isValid())
        fileFailure(QStringLiteral("The report folder cannot be written"), parent, staging.errorString());
    // A temporary folder is private to its owner; the report folder is an ordinary one.
    QFile::setPermissions(staging.path(), kFolderPermissions);
    buildFolder(project, templateDir, staging.path());

    if (!outInfo.exists()) {
        if (!QDir().rename(staging.path(), target))
            fileFailure(QStringLiteral("The report folder cannot be created"), target,
                        QStringLiteral("permission denied"));
        staging.setAutoRemove(false);
        return;
    }

    // Into an existing folder: check everything first, then rename file by file, report.html last.
    if (!QFileInfo(target).isWritable())
        fileFailure(QStringLiteral("The report folder cannot be written"), target,
                    QStringLiteral("permission denied"));
    const QStringList entries = relativeEntries(staging.path());
    for (const QString& rel : entries) {
        const QFileInfo from(staging.path() + QStringLiteral("/") + rel);
        const QFileInfo to(target + QStringLiteral("/") + rel);
        if (to.exists() && to.isDir() != from.isDir())
            fileFailure(QStringLiteral("The report file cannot be written"), to.filePath(),
                        QStringLiteral("a file or folder of that name is in the way"));
    }
    for (const QString& rel : entries) {
        const QString to = target + QStringLiteral("/") + rel;
        if (QFileInfo(staging.path() + QStringLiteral("/") + rel).isDir() && !QDir().mkpath(to))
            fileFailure(QStringLiteral("The report folder cannot be created"), to,
                        QStringLiteral("permission denied"));
    }
    QStringList files;
    for (const QString& rel : entries)
        if (!QFileInfo(staging.path() + QStringLiteral("/") + rel).isDir() && rel != kReportHtml)
            files.append(rel);
    files.append(kReportHtml);
    for (const QString& rel : files) {
        std::error_code error;
        std::filesystem::rename(QFile::encodeName(staging.path() + QStringLiteral("/") + rel).toStdString(),
                                QFile::encodeName(target + QStringLiteral("/") + rel).toStdString(), error);
        if (error)
            fileFailure(QStringLiteral("The report file cannot be written"),
                        target + QStringLiteral("/") + rel, QString::fromStdString(error.message()));
    }
}

void printReportPdf(TProject& project, const QString& templateDir, const QString& pdfFile) {
    registerReportExceptions();
    const QFileInfo pdfInfo(pdfFile);
    const QString target = pdfInfo.absoluteFilePath();
    if (pdfInfo.isDir())
        fileFailure(QStringLiteral("The PDF file cannot be written"), target,
                    QStringLiteral("it is a folder"));

    // The temporary file beside the target, so that it can be renamed over it.
    QTemporaryFile pdfPart(pdfInfo.absolutePath() + QStringLiteral("/.") + pdfInfo.fileName() +
                           QStringLiteral(".XXXXXX"));
    if (!pdfPart.open())
        fileFailure(QStringLiteral("The PDF file cannot be written"), target, pdfPart.errorString());
    pdfPart.close();

    QTemporaryDir work;
    if (!work.isValid())
        fileFailure(QStringLiteral("The report folder cannot be written"), QDir::tempPath(),
                    work.errorString());
    const QString folder = work.path() + QStringLiteral("/report");
    if (!QDir().mkpath(folder))
        fileFailure(QStringLiteral("The report folder cannot be created"), folder,
                    QStringLiteral("permission denied"));
    buildFolder(project, templateDir, folder);

    QFile htmlFile(folder + QStringLiteral("/") + kReportHtml);
    if (!htmlFile.open(QIODevice::ReadOnly))
        fileFailure(QStringLiteral("The report file cannot be read"), htmlFile.fileName(),
                    htmlFile.errorString());
    QTextDocument document;
    // Images and the style sheet are loaded from the folder the report refers to relatively.
    document.setBaseUrl(QUrl::fromLocalFile(folder + QStringLiteral("/")));
    const QString html = QString::fromUtf8(htmlFile.readAll());
    // Printing lays out a copy of the document, which loads no files of its own: the images go in
    // as resources under the names the text uses.
    static const QRegularExpression imageRef(QStringLiteral("<img[^>]*\\ssrc=\"([^\"]+)\""),
                                             QRegularExpression::CaseInsensitiveOption);
    for (auto it = imageRef.globalMatch(html); it.hasNext();) {
        const QString ref = it.next().captured(1);
        const QImage image(QDir(folder).filePath(QUrl(ref).path()));
        if (!image.isNull()) document.addResource(QTextDocument::ImageResource, QUrl(ref), image);
    }
    document.setHtml(html);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
    printer.setDocName(QFileInfo(project.useFileName()).fileName());
    printer.setOutputFileName(pdfPart.fileName());
    document.print(&printer);

    QFile written(pdfPart.fileName());
    if (!written.open(QIODevice::ReadOnly) || !written.read(5).startsWith("%PDF-"))
        fileFailure(QStringLiteral("The PDF file cannot be written"), target,
                    QStringLiteral("printing failed"));
    written.close();
    // The temporary file is private to its owner; the PDF is an ordinary file.
    QFile::setPermissions(pdfPart.fileName(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(pdfPart.fileName()).toStdString(),
                            QFile::encodeName(target).toStdString(), error);
    if (error)
        fileFailure(QStringLiteral("The PDF file cannot be written"), target,
                    QString::fromStdString(error.message()));
    pdfPart.setAutoRemove(false);
}

} // namespace fmx
