#include "PictureFixtures.h"
#include "iconview/JpegFrame.h"

#include <QBuffer>
#include <QImageWriter>

#include <gtest/gtest.h>

namespace {

std::optional<JpegFrame> frameOf(QByteArray bytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return JpegFrame::read(buffer);
}

QByteArray progressiveJpegOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.write(image);
    return bytes;
}

QByteArray segment(quint8 marker, const QByteArray& body) {
    const int length = body.size() + 2;
    return QByteArray("\xFF", 1) + char(marker) + char(length >> 8) + char(length & 0xFF) + body;
}

// A sequential frame of three components (luma sampled 2×2) whose first
// scan holds the components listed.
QByteArray sequentialFrame(int width, int height, int componentsInFirstScan) {
    const QByteArray frame = QByteArray(1, 8) + char(height >> 8) + char(height & 0xFF) + char(width >> 8) +
                             char(width & 0xFF) + QByteArray("\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01", 10);
    QByteArray scan(1, char(componentsInFirstScan));
    for (int i = 1; i <= componentsInFirstScan; ++i) {
        scan += char(i) + QByteArray(1, 0);
    }
    scan += QByteArray("\x00\x3F\x00", 3);
    return QByteArray("\xFF\xD8", 2) + segment(0xC0, frame) + segment(0xDA, scan);
}

TEST(JpegFrame, ReadsTheFramePastOtherSegmentsAndFillBytes) {
    const QByteArray baseline = withOrientation(jpegOf(halves(QSize(40, 30))), 6);
    const std::optional<JpegFrame> frame = frameOf(baseline);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->width(), 40);
    EXPECT_EQ(frame->height(), 30);
    EXPECT_EQ(frame->componentCount(), 3);
    EXPECT_FALSE(frame->isProgressive());
    EXPECT_FALSE(frame->buffersWholeImage());

    // Fill bytes before a marker, and stray bytes between segments, which
    // libjpeg skips with a warning.
    QByteArray padded = baseline;
    padded.insert(2, QByteArray("stray bytes") + QByteArray("\xFF\x00\xFF\xFF", 4));
    const std::optional<JpegFrame> paddedFrame = frameOf(padded);
    ASSERT_TRUE(paddedFrame);
    EXPECT_EQ(paddedFrame->width(), 40);
}

TEST(JpegFrame, ProgressiveFramesBufferEveryCoefficient) {
    const std::optional<JpegFrame> frame = frameOf(progressiveJpegOf(halves(QSize(16, 16))));
    ASSERT_TRUE(frame);
    EXPECT_TRUE(frame->isProgressive());
    EXPECT_TRUE(frame->buffersWholeImage());
    // Luma sampled 2×2 takes four blocks, each chroma one: six blocks of 128 bytes.
    EXPECT_EQ(frame->coefficientBytes(), 6 * 128);
}

TEST(JpegFrame, SequentialFramesBufferOnlyWhenTheFirstScanLeavesComponentsOut) {
    const std::optional<JpegFrame> interleaved = frameOf(sequentialFrame(38000, 38000, 3));
    ASSERT_TRUE(interleaved);
    EXPECT_FALSE(interleaved->buffersWholeImage());

    const std::optional<JpegFrame> separate = frameOf(sequentialFrame(38000, 38000, 1));
    ASSERT_TRUE(separate);
    EXPECT_TRUE(separate->buffersWholeImage());
    // 4750² luma blocks and 2375² of each chroma, 128 bytes a block.
    EXPECT_EQ(separate->coefficientBytes(), qint64(4'332'000'000));
}

// libjpeg reads on past a comment or application segment whose length is
// below two (found by fuzzing: a progressive frame of 38,000² pixels hid
// behind such a comment), so the frame behind it must still be found.
TEST(JpegFrame, ReadsPastSegmentsTooShortToHoldTheirLength) {
    QByteArray jpeg = progressiveJpegOf(halves(QSize(16, 16)));
    jpeg.insert(2, QByteArray("\xFF\xFE\x00\x00\xFF\xE1\x00\x01", 8));
    const std::optional<JpegFrame> frame = frameOf(jpeg);
    ASSERT_TRUE(frame);
    EXPECT_TRUE(frame->isProgressive());
    EXPECT_EQ(frame->width(), 16);
}

TEST(JpegFrame, TheLargestBufferCountsFourComponentsInFullResolution) {
    EXPECT_EQ(JpegFrame::largestCoefficientBytes(QSize(16, 9)), 4 * 2 * 2 * 128);
    EXPECT_EQ(JpegFrame::largestCoefficientBytes(QSize(65535, 65535)), qint64(4) * 8192 * 8192 * 128);
}

TEST(JpegFrame, NothingForWhatIsNotAFrameFollowedByAScan) {
    const QByteArray jpeg = jpegOf(halves(QSize(8, 8)));
    EXPECT_FALSE(frameOf({}));
    EXPECT_FALSE(frameOf(QByteArray("\x89PNG\r\n\x1a\n")));
    EXPECT_FALSE(frameOf(jpeg.left(jpeg.indexOf("\xFF\xDA", 0))));
    // A segment claiming more bytes than the file holds.
    EXPECT_FALSE(frameOf(QByteArray("\xFF\xD8\xFF\xE1\xFF\xFF", 6) + "short"));
    // A frame claiming more components than it lists.
    EXPECT_FALSE(frameOf(QByteArray("\xFF\xD8", 2) +
                         segment(0xC2, QByteArray("\x08\x00\x10\x00\x10\x09", 6)) +
                         segment(0xDA, QByteArray("\x01\x01\x00\x00\x3F\x00", 6))));
}

} // namespace
