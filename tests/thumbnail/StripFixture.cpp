#include "StripFixture.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QtTest/QTest>

QString libraryPath() {
    return QStringLiteral(DOCSCANNER_BIN_DIR "/" THUMBNAIL_LIBRARY_FILE);
}

bool similar(const QColor& a, const QColor& b, int tolerance) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

namespace {

template <typename Entry> Entry resolve(QLibrary& library, const char* name) {
    return reinterpret_cast<Entry>(library.resolve(name));
}

} // namespace

void StripTest::SetUp() {
    ASSERT_TRUE(m_files.isValid());
    m_savedTmpDir = qgetenv("TMPDIR");
    QDir().mkpath(tempDir());
    qputenv("TMPDIR", QFile::encodeName(tempDir()));

    library.setFileName(libraryPath());
    ASSERT_TRUE(library.load()) << library.errorString().toStdString();
    initLib = resolve<InitLibFn>(library, "InitLib");
    addImageItem = resolve<AddImageItemFn>(library, "AddImageItem");
    addImageItemEx = resolve<AddImageItemExFn>(library, "AddImageItemEx");
    getImgCount = resolve<GetImgCountFn>(library, "GetImgCount");
    setItemChecked = resolve<SetItemCheckedFn>(library, "SetItemChecked");
    isChecked = resolve<IsCheckedFn>(library, "IsChecked");
    getImageFilePath = resolve<GetImageFilePathFn>(library, "GetImageFilePath");
    clearAllItem = resolve<ClearAllItemFn>(library, "ClearAllItem");
    setLanguage = resolve<SetLanguageFn>(library, "SetLanguage");
    resizeThumb = resolve<ResizeThumbFn>(library, "ResizeThumb");
    for (const void* entry :
         {(void*)initLib, (void*)addImageItem, (void*)addImageItemEx, (void*)getImgCount,
          (void*)setItemChecked, (void*)isChecked, (void*)getImageFilePath, (void*)clearAllItem,
          (void*)setLanguage, (void*)resizeThumb})
        ASSERT_NE(entry, nullptr);
    // A library that stays mapped between tests keeps its entries; start from none.
    clearAllItem(0);
    setLanguage(1);
}

void StripTest::TearDown() {
    if (library.isLoaded())
        clearAllItem(0);
    host.reset();
    library.unload();
    if (m_savedTmpDir.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", m_savedTmpDir);
}

QWidget* StripTest::showHost() {
    host = std::make_unique<QWidget>();
    host->resize(166, 600);
    host->show();
    initLib(uintptr_t(host->winId()));
    return host.get();
}

QAbstractItemView* StripTest::view() const {
    return host ? host->findChild<QAbstractItemView*>() : nullptr;
}

QModelIndex StripTest::entry(int row) const {
    QAbstractItemView* strip = view();
    return strip ? strip->model()->index(row, 0) : QModelIndex();
}

thumbnail::ThumbnailState StripTest::state(int row) const {
    return thumbnail::ThumbnailState(entry(row).data(thumbnail::ThumbnailStateRole).toInt());
}

thumbnail::ThumbnailState StripTest::waitForThumbnail(int row) {
    entry(row).data(Qt::DecorationRole);
    (void)QTest::qWaitFor([&] { return state(row) != thumbnail::ThumbnailState::Waiting; }, 20000);
    return state(row);
}

QImage StripTest::decoration(int row) const {
    return entry(row).data(Qt::DecorationRole).value<QImage>();
}

QString StripTest::writePicture(const QString& name, QSize size, const QColor& colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = m_files.filePath(name);
    EXPECT_TRUE(image.save(path)) << name.toStdString();
    return path;
}

QString StripTest::writeFile(const QString& name, const QByteArray& contents) {
    const QString path = m_files.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
    return path;
}
