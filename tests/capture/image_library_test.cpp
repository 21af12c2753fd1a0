#include "capture/image_library.h"
#include "gui/qt_caption_renderer.h"

#include "capture/desktop_capture.h"
#include "capture/picture_conversion.h"
#include "png/png_writer.h"
#include "support/fake_clock.h"
#include "support/fake_message_boxes.h"
#include "support/fake_screen.h"
#include "support/file_bytes.h"
#include "support/png_file.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace velmora {
namespace {

using test::TemporaryFolder;

// A copy of a stand-in library placed in a fresh Program folder under the file name the
// program looks for.
class StandInFolder {
public:
    explicit StandInFolder(const char* builtLibrary)
    {
        std::filesystem::copy_file(builtLibrary, folder_.file(kImageLibraryFile));
        probe_ = DynamicLibrary::open(folder_.file(kImageLibraryFile));
    }
    std::string folder() const { return folder_.folder(); }
    std::string calls() const
    {
        auto fn = reinterpret_cast<const char* (*)()>(probe_.symbol("standInCalls"));
        return fn ? fn() : "(not the stand-in)";
    }

private:
    TemporaryFolder folder_;
    DynamicLibrary probe_; // keeps the library loaded, so its record survives an unload
};

TEST(ImageLibraryLoading, ProgramFolderFirstThenInitialisedWithAllPlugins)
{
    StandInFolder program(STAND_IN_FULL);
    test::FakeMessageBoxes boxes;
    auto library = LoadImageLibrary(program.folder(), boxes);
    ASSERT_NE(library, nullptr);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(program.calls(), "Initialise(0);");

    UnloadImageLibrary(*library);
    EXPECT_EQ(program.calls(), "Initialise(0);DeInitialise;");
    EXPECT_FALSE(library->loaded());
    EXPECT_EQ(library->load(kImageFormatPng, "x.png", 0), nullptr) << "calls after unload give 0";
}

TEST(ImageLibraryLoading, MissingLibraryShowsTheMessage)
{
    TemporaryFolder program;
    test::FakeMessageBoxes boxes;
    auto library = LoadImageLibrary(program.folder(), boxes, "libvelmora-missing-image.so.3");
    EXPECT_EQ(library, nullptr);
    const auto shown = boxes.shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, "Fehler");
    EXPECT_EQ(shown[0].text, "Die Library f\xFCr die Bildverarbeitung kann nicht ge\xF6"
                             "ffnet werden.");
    EXPECT_EQ(shown[0].buttons, BoxButtons::Ok);
    EXPECT_EQ(shown[0].modality, BoxModality::Ordinary);
}

class ConversionSequence : public ::testing::Test {
protected:
    void SetUp() override
    {
        library = LoadImageLibrary(program.folder(), boxes);
        ASSERT_NE(library, nullptr);
        ASSERT_TRUE(writePng(picture, test::patternPicture(1024, 768)));
    }
    std::string convert(bool downscale, bool to256)
    {
        const std::string before = program.calls();
        convertPicture(*library, picture, {downscale, to256, 768, 576});
        return program.calls().substr(before.size());
    }

    StandInFolder program{STAND_IN_FULL};
    TemporaryFolder temp;
    std::string picture = temp.file("Velmora.png");
    test::FakeMessageBoxes boxes;
    std::unique_ptr<ImageLibrary> library;
};

TEST_F(ConversionSequence, RescaleBeforeQuantizeDeleteBeforeSaveUnloadInOrder)
{
    EXPECT_EQ(convert(true, true), "Load(13,file,0);Rescale(1,768,576,0);ColorQuantize(2,0);"
                                   "Save(13,3,nofile,0);Unload(1);Unload(2);Unload(3);");
}

TEST_F(ConversionSequence, EachReductionAlone)
{
    EXPECT_EQ(convert(true, false),
              "Load(13,file,0);Rescale(1,768,576,0);Save(13,2,nofile,0);Unload(1);Unload(2);");
    ASSERT_TRUE(writePng(picture, test::patternPicture(8, 8)));
    EXPECT_EQ(convert(false, true),
              "Load(13,file,0);ColorQuantize(1,0);Save(13,2,nofile,0);Unload(1);Unload(2);");
    EXPECT_EQ(convert(false, false), "") << "nothing asked, nothing done";
}

TEST(ImageLibraryStandIn, WithoutLoadTheUnreducedFileStaysSilently)
{
    StandInFolder program(STAND_IN_WITHOUT_LOAD);
    test::FakeMessageBoxes boxes;
    auto library = LoadImageLibrary(program.folder(), boxes);
    ASSERT_NE(library, nullptr);
    TemporaryFolder temp;
    const std::string picture = temp.file("Velmora.png");
    ASSERT_TRUE(writePng(picture, test::patternPicture(64, 48)));
    const auto before = test::fileBytes(picture);

    convertPicture(*library, picture, {true, true, 48, 36});
    EXPECT_EQ(test::fileBytes(picture), before);
    EXPECT_EQ(program.calls(), "Initialise(0);");
    EXPECT_TRUE(boxes.shown().empty());
}

// The real library, found by the system's search (the Program folder is empty).
class RealFreeImage : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        test::FakeMessageBoxes boxes;
        // Loaded once: FreeImage is not made to be initialised and freed over and over.
        library_ = LoadImageLibrary(programFolder_->folder(), boxes);
    }
    static void TearDownTestSuite()
    {
        if (library_)
            UnloadImageLibrary(*library_);
        library_.reset();
    }

    std::vector<test::PngChunk> capture(int downscale, int force256)
    {
        DesktopCapture desktop(screen, temp.folder(), *library_, boxes, clock, {}, qtCaptionRenderer());
        SettingsRecord settings;
        settings.ForceDownscale = downscale;
        settings.Force256 = force256;
        desktop.capture(settings);
        return test::readPngChunks(temp.file("Velmora.png"));
    }
    static std::uint32_t size(const std::vector<std::uint8_t>& ihdr, int at)
    {
        return std::uint32_t{ihdr[at]} << 24 | ihdr[at + 1] << 16 | ihdr[at + 2] << 8 |
               ihdr[at + 3];
    }
    static const test::PngChunk* find(const std::vector<test::PngChunk>& chunks, const char* type)
    {
        for (const auto& c : chunks)
            if (c.type == type)
                return &c;
        return nullptr;
    }

    static inline std::unique_ptr<TemporaryFolder> programFolder_ =
        std::make_unique<TemporaryFolder>();
    static inline std::unique_ptr<ImageLibrary> library_;
    TemporaryFolder temp;
    test::FakeScreen screen{1024, 768};
    test::FakeMessageBoxes boxes;
    test::FakeClock clock;
};

TEST_F(RealFreeImage, DownscaleGivesThreeQuarterTruecolour)
{
    ASSERT_NE(library_, nullptr);
    const auto chunks = capture(1, 0);
    ASSERT_FALSE(chunks.empty());
    EXPECT_EQ(size(chunks[0].data, 0), 768u);
    EXPECT_EQ(size(chunks[0].data, 4), 576u);
    EXPECT_EQ(chunks[0].data[9], 2) << "truecolour";
}

TEST_F(RealFreeImage, Force256KeepsTheSizeWithA256EntryPalette)
{
    ASSERT_NE(library_, nullptr);
    const auto chunks = capture(0, 1);
    ASSERT_FALSE(chunks.empty());
    EXPECT_EQ(size(chunks[0].data, 0), 1024u);
    EXPECT_EQ(size(chunks[0].data, 4), 768u);
    EXPECT_EQ(chunks[0].data[8], 8);
    EXPECT_EQ(chunks[0].data[9], 3) << "palette";
    const auto* palette = find(chunks, "PLTE");
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->data.size(), 256u * 3);
}

TEST_F(RealFreeImage, BothReductions)
{
    ASSERT_NE(library_, nullptr);
    const auto chunks = capture(1, 1);
    ASSERT_FALSE(chunks.empty());
    EXPECT_EQ(size(chunks[0].data, 0), 768u);
    EXPECT_EQ(size(chunks[0].data, 4), 576u);
    EXPECT_EQ(chunks[0].data[9], 3);
    const auto* palette = find(chunks, "PLTE");
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->data.size(), 256u * 3);
    EXPECT_TRUE(test::decodePng(temp.file("Velmora.png")).has_value());
}

} // namespace
} // namespace velmora
