#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "examples/example_scenes.h"
#include "host/framework.h"
#include "host/memory.h"
#include "refhost/document/document_file.h"
#include "refhost/document/file_replacement.h"
#include "refhost/framework/host_state.h"
#include "tests/refhost/scene/scene_fixture.h"

namespace {

using refhost::Document;
using refhost::DocumentError;
using refhost::DocumentFromText;
using refhost::DocumentText;
namespace fs = std::filesystem;

class DocumentFileTest : public SceneTest {
protected:
    void TearDown() override {
        refhost::HostState::Instance().Reset();
        if (!fFolder.empty()) {
            fs::remove_all(fFolder);
        }
        SceneTest::TearDown();
    }
    std::string Folder() {
        if (fFolder.empty()) {
            fFolder = fs::temp_directory_path() / ("keypose-documents-" + std::to_string(getpid()));
            fs::create_directories(fFolder);
        }
        return fFolder.string();
    }
    // The message of the DocumentError that reading the text throws ("" when it reads).
    static std::string Refusal(std::string const& text) {
        try {
            DocumentFromText(text);
        } catch (DocumentError const& error) {
            return error.what();
        }
        return "";
    }

private:
    fs::path fFolder;
};

std::string ReadFile(std::string const& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// A block holding every byte value, kept in a set shared by two boxes.
std::unique_ptr<Document> SharedBlockDocument() {
    auto document = std::make_unique<Document>();
    CSetObject shared(nullptr, true);
    THandlePair pair{256, NewHandle(256)};
    for (int i = 0; i < 256; ++i) {
        (*pair.data)[i] = static_cast<char>(i);
    }
    shared.AddType(GetCustomAttributeType(eTweenAttribute), &pair);
    CGroupObject selected(document->SelectedGroup());
    for (int i = 0; i < 2; ++i) {
        OpaqueTQ3Object* raw = refhost::scene::NewBox({0, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 0});
        CShapeObject box(raw);
        C3DObject::Dispose(raw);
        box.SetSet(shared);
        selected.AddObject(box);
    }
    document->clock = {600, -600, 0, 600, 0.5f};
    return document;
}

// A mesh of two triangles with normals of its own (one zero, one not unit length).
std::unique_ptr<Document> MeshWithNormalsDocument() {
    auto document = std::make_unique<Document>();
    OpaqueTQ3Object* raw = refhost::scene::NewTriMesh(
        {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 1, 2}, {0, 2, 3}}, {},
        {{0, 0, 1}, {0.6f, 0, 0.8f}, {0, 0, 0}, {0, -1.5f, 2}});
    CShapeObject mesh(raw);
    C3DObject::Dispose(raw);
    CGroupObject(document->SelectedGroup()).AddObject(mesh);
    document->clock = {600, 0, 0, 600, 1};
    return document;
}

} // namespace

TEST_F(DocumentFileTest, AMeshKeepsItsNormalsAndBadNormalsAreRefusedWithTheirPlace) {
    std::string const text = DocumentText(*MeshWithNormalsDocument());
    std::unique_ptr<Document> read = DocumentFromText(text);
    EXPECT_TRUE(DocumentText(*read) == text);
    CGroupObject selected(read->SelectedGroup());
    auto const* mesh = refhost::scene::As<refhost::scene::TriMesh>(
        CShapeObject(selected, selected.GetFirstObject()).GetObject());
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->normals.size(), 4u);
    EXPECT_EQ(mesh->normals[1].x, 0.6f);
    EXPECT_EQ(mesh->normals[3].z, 2.0f);

    // The text with the first normal (0, 0, 1), or the field's start, replaced.
    auto changed = [&](std::string const& from, std::string const& to) {
        std::string copy = text;
        std::size_t const at = copy.find(from, copy.find("\"normals\""));
        EXPECT_NE(at, std::string::npos) << from;
        return copy.replace(at, from.size(), to);
    };
    std::string const first = "[0.0, 0.0, 1.0],";
    EXPECT_EQ(Refusal(changed(first, "")), "/objects/0/normals: expected 4 elements, found 3");
    EXPECT_EQ(Refusal(changed(first, "[0.0, true, 1.0],")),
              "/objects/0/normals/0/1: expected a number");
    EXPECT_EQ(Refusal(changed(first, "[0.0, 0.0, \"nan\"],")),
              "/objects/0/normals/0/2: a normal needs finite numbers");
    EXPECT_EQ(Refusal(changed(first, "[0.0, 0.0],")),
              "/objects/0/normals/0: expected 3 elements, found 2");
    EXPECT_EQ(Refusal(changed("\"normals\": [", "\"normals\": 7, \"was\": [")),
              "/objects/0/normals: expected an array");
}

TEST_F(DocumentFileTest, EveryExampleComesBackAsTheSameText) {
    for (examples::Example const& example : examples::AllExamples()) {
        std::unique_ptr<Document> made = example.make();
        std::string const text = DocumentText(*made);
        std::unique_ptr<Document> read = DocumentFromText(text);
        EXPECT_TRUE(DocumentText(*read) == text) << example.fileName;
        EXPECT_EQ(read->Views().size(), made->Views().size());
        EXPECT_EQ(read->clock, made->clock);
    }
}

TEST_F(DocumentFileTest, CustomBlocksComeBackByteForByteAndSharedSetsStayShared) {
    std::unique_ptr<Document> made = SharedBlockDocument();
    std::unique_ptr<Document> read = DocumentFromText(DocumentText(*made));
    CGroupObject selected(read->SelectedGroup());
    CShapeObject first(selected, selected.GetFirstObject());
    CShapeObject second(selected, selected.NextPosition(selected.GetFirstObject()));
    EXPECT_EQ(CSetObject(first), CSetObject(second)) << "one set, two users";
    THandlePair pair{};
    CSetObject(first).GetData(GetCustomAttributeType(eTweenAttribute), &pair);
    ASSERT_EQ(pair.size, 256);
    ASSERT_EQ(GetHandleSize(pair.data), 256);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(static_cast<uint8_t>((*pair.data)[i]), i);
    }
    EXPECT_EQ(read->clock.minimum, -600);
    EXPECT_EQ(read->clock.speed, 0.5f);
}

TEST_F(DocumentFileTest, AMalformedFileIsRefusedWithThePlaceOfTheFault) {
    std::string const good = DocumentText(*SharedBlockDocument());
    auto changed = [&](std::string const& from, std::string const& to) {
        std::string text = good;
        std::size_t const at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return text.replace(at, from.size(), to);
    };
    EXPECT_EQ(Refusal(good), "");
    // Syntax errors name the line and column, what was found and what was expected.
    EXPECT_EQ(Refusal("{\"format\": "),
              "line 1, column 12: found the end of the text where a value (an object, array, "
              "string, number, true, false or null) was expected");
    EXPECT_EQ(Refusal("{\n\t\"format\": \"x\"\n\t\"clock\": 1}"),
              "line 3, column 2: found a string where ',' or '}' was expected");
    EXPECT_EQ(Refusal("{\"format\": \"x").substr(0, 47),
              "line 1, column 12: found a string that is not c");
    EXPECT_EQ(Refusal("{\"a\": [1, 2 3]}"),
              "line 1, column 13: found '3' where ',' or ']' was expected");
    EXPECT_EQ(Refusal("{\"a\" 1}"), "line 1, column 6: found '1' where ':' was expected");
    EXPECT_EQ(Refusal("{\"a\": tru}"),
              "line 1, column 7: found 'tru' where a value (an object, array, string, number, "
              "true, false or null) was expected");
    EXPECT_EQ(Refusal("{\"a\": 1} {"),
              "line 1, column 10: found '{' where the end of the text was expected");
    EXPECT_EQ(Refusal("[]"), "/: expected an object");
    EXPECT_EQ(Refusal(changed("\"KeyposeSequencer document\"", "\"something\"")),
              "/format: not a KeyposeSequencer document");
    EXPECT_EQ(Refusal(changed("\"unitsPerSecond\": 600", "\"unitsPerSecond\": \"600\"")),
              "/clock/unitsPerSecond: expected a whole number");
    EXPECT_NE(Refusal(changed("\"unitsPerSecond\": 600", "\"unitsPerSecond\": 0"))
                  .find("/clock/unitsPerSecond: "),
              std::string::npos)
        << "a clock without units a second";
    EXPECT_EQ(Refusal(changed("\"kind\": \"box\"", "\"kind\": \"sphere\"")),
              "/objects/1/kind: unknown object kind \"sphere\"");
    EXPECT_EQ(Refusal(changed("\"kind\": \"box\"",
                              "\"kind\": \"" + std::string(1 << 20, 'q') + "\\u0000\"")),
              "/objects/1/kind: unknown object kind \"" + std::string(60, 'q') + "...\"")
        << "a long word is cut, a NUL shown";
    EXPECT_EQ(Refusal(changed("\"kind\": \"box\"", "\"kind\": \"bo\\u0000x\"")),
              "/objects/1/kind: unknown object kind \"bo\\x00x\"");
    EXPECT_EQ(Refusal(changed("\"bytes\": \"", "\"bytes\": \"*")),
              "/objects/0/custom/0/bytes: not base64");
    EXPECT_EQ(Refusal(changed("\"set\": 1", "\"set\": 9")),
              "/objects/1/set: no object 9 comes before this one");
    EXPECT_EQ(Refusal(changed("\"selected\": 4", "\"selected\": 2")),
              "/selected: expected the id of a group");
    EXPECT_EQ(Refusal(changed("\"origin\": [0.0, 0.0, 0.0]", "\"origin\": [0.0, 0.0]")),
              "/objects/1/origin: expected 3 elements, found 2");
    EXPECT_EQ(Refusal(changed("\"state\": 49,", "")), "/objects/3: missing field \"state\"");
    EXPECT_NE(Refusal(std::string(100, '[') + std::string(100, ']')).find("nested more than"),
              std::string::npos);
}

TEST_F(DocumentFileTest, DamagedBlocksAndNumbersAreRefusedAndLeaveNothingBehind) {
    auto changed = [](std::string text, std::string const& from, std::string const& to) {
        std::size_t const at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return text.replace(at, from.size(), to);
    };
    std::string const block = DocumentText(*SharedBlockDocument());
    EXPECT_EQ(Refusal(changed(block, "\"bytes\"", "\"bites\"")),
              "/objects/0/custom/0: missing field \"bytes\"");
    EXPECT_EQ(Refusal(changed(block, "\"bytes\": \"", "\"bytes\": null, \"was\": \"")),
              "/objects/0/custom/0: missing field \"bytes\"");
    EXPECT_EQ(Refusal(changed(block, "\"size\": 256", "\"size\": 257")),
              "/objects/0/custom/0/bytes: holds 256 bytes, but size is 257");
    EXPECT_EQ(Refusal(changed(block, "\"speed\": 0.5", "\"speed\": 1e39")),
              "/clock/speed: the number 1e39 is too large for single precision");
    EXPECT_EQ(Refusal(changed(block, "\"origin\": [0.0, 0.0, 0.0]", "\"origin\": [0.0, -1e39, 0]")),
              "/objects/1/origin/1: the number -1e39 is too large for single precision");

    // An empty block is a block: it reads, and saves as it was.
    std::string const empty =
        changed(changed(block, "\"size\": 256", "\"size\": 0"),
                block.substr(block.find("\"bytes\": \""),
                             block.find('"', block.find("\"bytes\": \"") + 10) -
                                 block.find("\"bytes\": \"") + 1),
                "\"bytes\": \"\"");
    ASSERT_EQ(Refusal(empty), "");
    EXPECT_EQ(DocumentText(*DocumentFromText(empty)), empty);

    // Objects refused after their first fields were read are not left behind (the fixture
    // counts them).
    std::string const box = DocumentText(*examples::TexturedBox());
    EXPECT_EQ(Refusal(changed(box, "\"uvTransform\": [1.847759,", "\"uvTransform\": [")),
              "/objects/3/uvTransform: expected 9 elements, found 8");
    EXPECT_EQ(Refusal(changed(box, "[640.0, 480.0]", "[640.0]")),
              "/objects/16/pane/1: expected 2 elements, found 1");
}

TEST_F(DocumentFileTest, SavingReplacesAFileWholeOrNotAtAll) {
    std::unique_ptr<Document> made = SharedBlockDocument();
    std::string const path = Folder() + "/scene.json";
    made->edited = true;
    refhost::SaveDocument(*made, path);
    EXPECT_FALSE(made->edited);
    EXPECT_EQ(made->path, path);
    std::unique_ptr<Document> opened = refhost::OpenDocument(path);
    EXPECT_EQ(opened->path, path);
    EXPECT_EQ(ReadFile(path), DocumentText(*opened));

    // A save that cannot replace its target leaves it, and the folder, as they were.
    std::string const folderPath = Folder() + "/folder.json";
    fs::create_directory(folderPath);
    std::ofstream(folderPath + "/inside") << "kept";
    auto const before = std::distance(fs::directory_iterator(Folder()), fs::directory_iterator());
    made->clock.current = 300;
    try {
        refhost::SaveDocument(*made, folderPath);
        FAIL() << "a folder was replaced";
    } catch (DocumentError const& error) {
        EXPECT_NE(std::string(error.what()).find("folder.json: is a folder, not a plain file"),
                  std::string::npos)
            << error.what();
    }
    EXPECT_EQ(ReadFile(folderPath + "/inside"), "kept");
    EXPECT_EQ(std::distance(fs::directory_iterator(Folder()), fs::directory_iterator()), before)
        << "no temporary file left behind";

    try {
        refhost::OpenDocument(Folder() + "/missing.json");
        FAIL() << "a missing file opened";
    } catch (DocumentError const& error) {
        EXPECT_NE(std::string(error.what())
                      .find("missing.json: cannot be opened (No such file or directory)"),
                  std::string::npos)
            << error.what();
    }
    std::ofstream(Folder() + "/bad.json") << "{}";
    try {
        refhost::OpenDocument(Folder() + "/bad.json");
        FAIL() << "a bad file opened";
    } catch (DocumentError const& error) {
        EXPECT_EQ(std::string(error.what()), Folder() + "/bad.json: /: missing field \"format\"");
    }
}

TEST_F(DocumentFileTest, SavingKeepsPermissionsLinksAndTheUsersOtherFiles) {
    std::unique_ptr<Document> made = SharedBlockDocument();
    std::string const path = Folder() + "/scene.json";
    refhost::SaveDocument(*made, path);
    mode_t const mask = umask(0);
    umask(mask);
    EXPECT_EQ(static_cast<mode_t>(fs::status(path).permissions()), 0666 & ~mask)
        << "a new file gets what the umask allows";

    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    std::ofstream(path + ".saving") << "the user's own file";
    made->clock.current = 300;
    refhost::SaveDocument(*made, path);
    EXPECT_EQ(fs::status(path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(ReadFile(path), DocumentText(*made));
    EXPECT_EQ(ReadFile(path + ".saving"), "the user's own file") << "not clobbered";

    // Saving to a link replaces the file it leads to, and the link stays a link.
    std::string const link = Folder() + "/link.json";
    fs::create_symlink("scene.json", link);
    made->clock.current = 600;
    refhost::SaveDocument(*made, link);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFile(path), DocumentText(*made));
    EXPECT_EQ(made->path, link);
    EXPECT_EQ(std::distance(fs::directory_iterator(Folder()), fs::directory_iterator()), 3)
        << "the file, the user's file and the link, nothing else";
}

// A file the user marked read-only stays as it was; a link whose file is not there yet gets
// its file made where it leads; a device is named as what it is.
TEST_F(DocumentFileTest, SavingRefusesReadOnlyFilesAndFollowsLinksToNewFiles) {
    std::unique_ptr<Document> made = SharedBlockDocument();
    std::string const path = Folder() + "/locked.json";
    std::ofstream(path) << "the user's locked text";
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
    try {
        refhost::SaveDocument(*made, path);
        FAIL() << "a read-only file was replaced";
    } catch (DocumentError const& error) {
        EXPECT_EQ(std::string(error.what()), path + ": is read-only (Permission denied)");
    }
    EXPECT_EQ(ReadFile(path), "the user's locked text");

    std::string const link = Folder() + "/dangling.json";
    fs::create_directory(Folder() + "/later");
    fs::create_symlink("later/made.json", link);
    refhost::SaveDocument(*made, link);
    EXPECT_TRUE(fs::is_symlink(link)) << "the link stays a link";
    EXPECT_EQ(ReadFile(Folder() + "/later/made.json"), DocumentText(*made));

    for (auto const& [device, kind] : {std::pair{"/dev/full", "is a character device"},
                                       std::pair{"/dev/null", "is a character device"}}) {
        try {
            refhost::SaveDocument(*made, device);
            FAIL() << device;
        } catch (DocumentError const& error) {
            EXPECT_EQ(std::string(error.what()),
                      std::string(device) + ": " + kind + ", not a plain file");
        }
    }
    // A clock out of order would make a file that no reader takes: it is not written.
    made->clock.current = made->clock.maximum + 1;
    EXPECT_THROW(refhost::SaveDocument(*made, Folder() + "/unordered.json"), DocumentError);
    EXPECT_FALSE(fs::exists(Folder() + "/unordered.json"));
    made->clock.current = made->clock.minimum;
    try {
        refhost::SaveDocument(*made, "");
        FAIL() << "an empty name was saved to";
    } catch (DocumentError const& error) {
        EXPECT_NE(std::string(error.what()).find("an empty name is no file"), std::string::npos);
    }
}

// A save killed half way leaves no temporary that stays: the next save removes what a killed
// one left, and keeps one that a running save holds.
TEST_F(DocumentFileTest, TemporariesOfKilledSavesGoWithTheNextSave) {
    std::unique_ptr<Document> made = SharedBlockDocument();
    std::string const path = Folder() + "/scene.json";
    std::ofstream(Folder() + "/.scene.json.Ab12Cd") << "left by a killed save";
    std::ofstream(Folder() + "/.scene.json.keep") << "not of the pattern";
    std::string const held = Folder() + "/.scene.json.Zz99Yy";
    std::ofstream(held) << "a save still writing";
    int const holder = open(held.c_str(), O_RDONLY);
    ASSERT_EQ(flock(holder, LOCK_EX), 0);
    refhost::SaveDocument(*made, path);
    EXPECT_FALSE(fs::exists(Folder() + "/.scene.json.Ab12Cd"));
    EXPECT_TRUE(fs::exists(Folder() + "/.scene.json.keep"));
    EXPECT_TRUE(fs::exists(held)) << "a temporary in use stays";
    close(holder);

    // Saves of a large document killed at any moment, then one more save.
    std::string const large(4 << 20, ' ');
    for (int kill = 0; kill < 8; ++kill) {
        pid_t const child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) {
                refhost::ReplaceFileContents(path, large);
            }
        }
        usleep(static_cast<useconds_t>(2000 + kill * 3000));
        ::kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    refhost::SaveDocument(*made, path);
    int left = 0;
    for (auto const& entry : fs::directory_iterator(Folder())) {
        std::string const name = entry.path().filename().string();
        left +=
            name.starts_with(".scene.json.") && name != ".scene.json.keep" && entry.path() != held;
    }
    EXPECT_EQ(left, 0);
    EXPECT_EQ(ReadFile(path), DocumentText(*made));
}

TEST_F(DocumentFileTest, UndoPutsTheSceneBackAsItWas) {
    refhost::UseDocumentTextForUndo();
    Document& document = refhost::HostState::Instance().Open(examples::TexturedBox());
    std::string const before = DocumentText(document);
    PL_DoUndo(1, 1, 0, 0);
    CGroupObject(document.SelectedGroup()).AddObject(UnitBox());
    document.clock.maximum = 100;
    ASSERT_NE(DocumentText(document), before);
    ASSERT_TRUE(refhost::HostState::Instance().Undo());
    EXPECT_EQ(DocumentText(document), before);
}

TEST_F(DocumentFileTest, TheBundledExamplesAreWhatTheExampleScenesMake) {
    for (examples::Example const& example : examples::AllExamples()) {
        std::string const path = std::string(KEYPOSE_EXAMPLES_DIR) + "/" + example.fileName;
        std::string const bundled = ReadFile(path);
        EXPECT_TRUE(bundled == DocumentText(*example.make()))
            << path << " is out of date: run make_examples";
        EXPECT_NO_THROW(refhost::OpenDocument(path));
    }
}
