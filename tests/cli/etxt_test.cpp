// etxt run as a child process, the way scripts use it: exit statuses, conversions, passwords,
// safe replacement and streaming of notes that span many cipher blocks. Literals for UTF-8 are
// u8"..."; code page 936 bytes are written as escapes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "crypto/digest_text.h"
#include "document/note_format.h"
#include "document/note_stream.h"
#include "tests/cli/run_etxt.h"

namespace {

namespace fs = std::filesystem;
using etxt_test::RunResult;

std::string U8(const char* text) { return text; }

// "密码" in code page 936, as the editor holds the password.
const std::string kChinesePassword = "\xC3\xDC\xC2\xEB";

class Etxt : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        scratch_ = fs::temp_directory_path() /
                   ("etxt-test-" + std::to_string(random()) + "-" + std::to_string(random()));
        fs::create_directories(scratch_);
        WriteFile("right.pw", "right\n");
        WriteFile("wrong.pw", "wrong\r\n");
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(scratch_, ignored);
    }

    // Arguments beginning with '@' name files in the scratch folder.
    RunResult Run(std::vector<std::string> arguments, const std::string& input = "") {
        for (std::string& argument : arguments) {
            if (!argument.empty() && argument[0] == '@') argument = Arg(argument.substr(1));
        }
        const fs::path io = scratch_ / "io";
        fs::create_directories(io);
        return etxt_test::RunEtxt(arguments, input, io);
    }

    // name in UTF-8
    std::string Arg(const std::string& name) const { return (scratch_ / fs::u8path(name)).u8string(); }
    std::string CorePath(const std::string& name) const { return (scratch_ / name).string(); }

    void WriteFile(const std::string& name, const std::string& bytes) {
        std::ofstream out(scratch_ / name, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::string ReadFile(const std::string& name) const {
        std::ifstream in(scratch_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    void MakeNote(const std::string& name, const std::string& password, const std::string& body) {
        ASSERT_TRUE(tolvarinth::WriteNoteFile(CorePath(name), password, body));
    }
    // Every stored body byte, deciphered.
    std::string StoredBody(const std::string& name, const std::string& password) {
        tolvarinth::NoteBodyReader reader;
        EXPECT_TRUE(reader.Open(CorePath(name), password));
        std::string body(static_cast<std::size_t>(reader.BodyLength()), '\0');
        std::size_t done = 0;
        while (done < body.size()) {
            const std::int64_t got = reader.Read(body.data() + done, body.size() - done);
            if (got <= 0) break;
            done += static_cast<std::size_t>(got);
        }
        EXPECT_EQ(done, body.size());
        return body;
    }
    std::string PasswordCheck(const std::string& name) {
        tolvarinth::NoteHeader header = tolvarinth::OpenNoteHeader(CorePath(name));
        std::string check = header.passwordCheck;
        tolvarinth::CloseNoteHeader(header);
        return check;
    }
    std::set<std::string> Files() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(scratch_)) {
            if (entry.is_regular_file()) names.insert(entry.path().filename().string());
        }
        return names;
    }

    fs::path scratch_;
};

// ---- exit statuses ----

struct StatusCase {
    const char* name;
    std::vector<std::string> arguments;
    int status;
};

void PrintTo(const StatusCase& value, std::ostream* out) { *out << value.name; }

class ExitStatus : public Etxt, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(ExitStatus, IsTheDocumentedOne) {
    MakeNote("locked.etxt", "right", "secret");
    WriteFile("plain.txt", "just some text, long enough to be read as a header if it were one\n");
    const StatusCase& expected = GetParam();
    const RunResult result = Run(expected.arguments);
    EXPECT_EQ(result.exitCode, expected.status) << result.err;
    if (expected.status != 0) {
        EXPECT_FALSE(result.err.empty());
    }
    if (expected.status >= 2) {
        EXPECT_EQ(result.out, "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ExitStatus,
    ::testing::Values(
        StatusCase{"Opened", {"cat", "--password-file", "@right.pw", "@locked.etxt"}, 0},
        StatusCase{"Version", {"--version"}, 0},
        StatusCase{"HelpOfACommand", {"passwd", "--help"}, 0},
        StatusCase{"Info", {"info", "@locked.etxt"}, 0},
        StatusCase{"MissingFile", {"cat", "@missing.etxt"}, 1},
        StatusCase{"NotANote", {"cat", "--raw", "@plain.txt"}, 1},
        StatusCase{"InfoOfNotANote", {"info", "@plain.txt"}, 1},
        StatusCase{"PasswdOfMissingFile", {"passwd", "--no-password", "@missing.etxt"}, 1},
        StatusCase{"UnreadablePasswordFile", {"cat", "--password-file", "@none.pw", "@locked.etxt"}, 1},
        StatusCase{"NoCommand", {}, 2},
        StatusCase{"UnknownCommand", {"frob", "@locked.etxt"}, 2},
        StatusCase{"NoNote", {"cat"}, 2},
        StatusCase{"UnknownOption", {"cat", "--frob", "@locked.etxt"}, 2},
        StatusCase{"ConflictingOptions", {"write", "--no-password", "--password-file", "@right.pw", "@n.etxt"}, 2},
        StatusCase{"NoTerminalToAskOn", {"cat", "@locked.etxt"}, 2},
        StatusCase{"NoTerminalForANewPassword", {"write", "@new.etxt"}, 2},
        StatusCase{"NoTerminalForPasswd", {"passwd", "--password-file", "@right.pw", "@locked.etxt"}, 2},
        StatusCase{"WrongPassword", {"cat", "--password-file", "@wrong.pw", "@locked.etxt"}, 3},
        StatusCase{"WrongOldPassword", {"passwd", "--password-file", "@wrong.pw", "--no-password", "@locked.etxt"}, 3}),
    [](const ::testing::TestParamInfo<StatusCase>& info) { return info.param.name; });

TEST_F(Etxt, WrongPasswordPrintsNothingAndChangesNothing) {
    MakeNote("locked.etxt", "right", "secret");
    const std::string before = ReadFile("locked.etxt");
    for (const char* raw : {"--raw", "--chunk-size=7"}) {
        const RunResult result = Run({"cat", "--password-file", "@wrong.pw", raw, "@locked.etxt"});
        EXPECT_EQ(result.exitCode, 3);
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find("wrong password"), std::string::npos);
    }
    const RunResult passwd = Run({"passwd", "--password-file", "@wrong.pw", "--no-password", "@locked.etxt"});
    EXPECT_EQ(passwd.exitCode, 3);
    EXPECT_EQ(passwd.out, "");
    EXPECT_EQ(ReadFile("locked.etxt"), before);
}

// ---- conversions ----

TEST_F(Etxt, WriteAndCatConvertChineseAndKeepLineEnds) {
    const std::string text = U8(u8"\u4E2D\u6587\r\n\u20AC 5\nend");
    const RunResult write = Run({"write", "--no-password", "@a.etxt"}, text);
    ASSERT_EQ(write.exitCode, 0) << write.err;
    EXPECT_EQ(StoredBody("a.etxt", ""), "\xD6\xD0\xCE\xC4\r\n\x80 5\nend");
    const RunResult cat = Run({"cat", "@a.etxt"});
    EXPECT_EQ(cat.exitCode, 0);
    EXPECT_EQ(cat.out, text);
}

TEST_F(Etxt, ChineseNoteNamesWork) {
    const std::string name = U8(u8"\u7B14\u8BB0.etxt");  // 笔记.etxt
    ASSERT_EQ(Run({"write", "--password-file", "@right.pw", "@" + name}, "abc").exitCode, 0);
    EXPECT_TRUE(fs::exists(scratch_ / fs::u8path(name)));
    EXPECT_EQ(Run({"cat", "--password-file", "@right.pw", "@" + name}).out, "abc");
}

TEST_F(Etxt, CrLfOptionStoresLinesAsTheEditorDoes) {
    ASSERT_EQ(Run({"write", "--no-password", "--crlf", "@a.etxt"}, "one\ntwo\r\nthree\n").exitCode, 0);
    EXPECT_EQ(StoredBody("a.etxt", ""), "one\r\ntwo\r\nthree\r\n");
}

TEST_F(Etxt, CharacterOutsideTheCodePageIsNamedAndNothingIsWritten) {
    MakeNote("a.etxt", "right", "old text");
    const std::string before = ReadFile("a.etxt");
    const std::set<std::string> filesBefore = Files();
    const std::string text = U8(u8"first line\r\nsmile \U0001F600 here");
    for (const char* name : {"a.etxt", "new.etxt"}) {
        const RunResult result = Run({"write", "--password-file", "@right.pw", std::string("@") + name}, text);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(result.err.find("line 2, column 7"), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("U+1F600"), std::string::npos) << result.err;
    }
    EXPECT_EQ(ReadFile("a.etxt"), before);
    EXPECT_EQ(Files(), filesBefore);  // no new note, no temporary file left behind
}

TEST_F(Etxt, DefaultCatEndsTheTextWhereTheEditorDoes) {
    MakeNote("a.etxt", "", "ab\x1A" "cd");
    const RunResult cat = Run({"cat", "@a.etxt"});
    EXPECT_EQ(cat.exitCode, 0);
    EXPECT_EQ(cat.out, "ab");
    EXPECT_NE(cat.err.find("--raw"), std::string::npos);
    EXPECT_EQ(Run({"cat", "--raw", "@a.etxt"}).out, "ab\x1A" "cd");
}

TEST_F(Etxt, RawRoundTripKeepsArbitraryBytes) {
    std::mt19937 random(1234);
    std::string bytes(100000, '\0');
    for (char& c : bytes) c = static_cast<char>(1 + random() % 255);  // every byte but NUL
    ASSERT_EQ(Run({"write", "--raw", "--password-file", "@right.pw", "@a.etxt"}, bytes).exitCode, 0);
    EXPECT_EQ(StoredBody("a.etxt", "right"), bytes);
    const RunResult cat = Run({"cat", "--raw", "--password-file", "@right.pw", "@a.etxt"});
    EXPECT_EQ(cat.exitCode, 0);
    EXPECT_TRUE(cat.out == bytes) << "the bytes differ";
}

// ---- big notes ----

struct TextPair {
    std::string utf8;
    std::string codePage;
};

// A text of a few MiB mixing one- and two-byte characters, so characters straddle every piece
// boundary.
TextPair BigText() {
    const TextPair pieces[] = {{"a", "a"},
                               {U8(u8"\u4E2D"), "\xD6\xD0"},
                               {"\r\n", "\r\n"},
                               {U8(u8"\u6587"), "\xCE\xC4"},
                               {U8(u8"\u20AC"), "\x80"},
                               {" ", " "}};
    TextPair text;
    std::mt19937 random(42);
    while (text.codePage.size() < 3 * 1024 * 1024 + 17) {
        const TextPair& piece = pieces[random() % 6];
        text.utf8 += piece.utf8;
        text.codePage += piece.codePage;
    }
    return text;
}

TEST_F(Etxt, StreamedOutputEqualsTheOneShotNoteForManyBlocks) {
    const TextPair text = BigText();
    MakeNote("whole.etxt", "right", text.codePage);  // written in one piece

    for (const char* chunk : {"4093", "65537", "1048576"}) {
        const RunResult cat = Run({"cat", "--chunk-size", chunk, "--password-file", "@right.pw", "@whole.etxt"});
        EXPECT_EQ(cat.exitCode, 0) << cat.err;
        EXPECT_TRUE(cat.out == text.utf8) << "converted output differs with chunks of " << chunk;
        const RunResult raw =
            Run({"cat", "--raw", "--chunk-size", chunk, "--password-file", "@right.pw", "@whole.etxt"});
        EXPECT_TRUE(raw.out == text.codePage) << "raw output differs with chunks of " << chunk;
    }
    const RunResult write =
        Run({"write", "--chunk-size", "4099", "--password-file", "@right.pw", "@streamed.etxt"}, text.utf8);
    ASSERT_EQ(write.exitCode, 0) << write.err;
    EXPECT_TRUE(ReadFile("streamed.etxt") == ReadFile("whole.etxt")) << "streamed note differs";
}

// ---- passwords ----

TEST_F(Etxt, InfoNeverAsksForAPassword) {
    MakeNote("locked.etxt", "right", "abc");
    MakeNote("open.etxt", "", "abcd");
    const RunResult locked = Run({"info", "@locked.etxt"});
    EXPECT_EQ(locked.exitCode, 0);
    EXPECT_NE(locked.out.find("password: yes"), std::string::npos) << locked.out;
    EXPECT_NE(locked.out.find("body: 3 bytes"), std::string::npos) << locked.out;
    const RunResult open = Run({"info", "@open.etxt"});
    EXPECT_NE(open.out.find("password: no"), std::string::npos) << open.out;
    EXPECT_NE(open.out.find("body: 4 bytes"), std::string::npos) << open.out;
}

TEST_F(Etxt, PasswdChangesToAChinesePasswordThenClearsIt) {
    const std::string body = "\xD6\xD0\xCE\xC4\r\nline two\x1A tail";
    MakeNote("a.etxt", "right", body);
    WriteFile("chinese.pw", U8(u8"\uFEFF\u5BC6\u7801\r\n"));  // 密码, with a byte order mark

    const RunResult change =
        Run({"passwd", "--password-file", "@right.pw", "--new-password-file", "@chinese.pw", "@a.etxt"});
    ASSERT_EQ(change.exitCode, 0) << change.err;
    EXPECT_EQ(PasswordCheck("a.etxt"), tolvarinth::DigestText(kChinesePassword));  // as the editor checks it
    EXPECT_EQ(StoredBody("a.etxt", kChinesePassword), body);
    EXPECT_EQ(Run({"cat", "--password-file", "@right.pw", "@a.etxt"}).exitCode, 3);

    const RunResult clear = Run({"passwd", "--password-file", "@chinese.pw", "--no-password", "@a.etxt"});
    ASSERT_EQ(clear.exitCode, 0) << clear.err;
    EXPECT_EQ(PasswordCheck("a.etxt"), tolvarinth::DigestText(""));
    EXPECT_EQ(ReadFile("a.etxt").substr(100), body);  // stored in clear
    EXPECT_EQ(Files(), (std::set<std::string>{"a.etxt", "chinese.pw", "right.pw", "wrong.pw"}));
}

// The Windows console prompt was checked by hand under Wine; a pseudo-terminal is POSIX only.
TEST_F(Etxt, PasswordsAreAskedOnTheTerminalWithoutEcho) {
#ifdef _WIN32
    GTEST_SKIP() << "needs a POSIX pseudo-terminal";
#else
    MakeNote("locked.etxt", "right", "secret text");
    const RunResult cat = etxt_test::RunEtxtOnTerminal({"cat", Arg("locked.etxt")}, {"wrong", "right"});
    EXPECT_EQ(cat.exitCode, 0) << cat.out;
    EXPECT_NE(cat.out.find("wrong password"), std::string::npos) << cat.out;
    EXPECT_NE(cat.out.find("secret text"), std::string::npos) << cat.out;
    EXPECT_EQ(cat.out.find("right"), std::string::npos) << cat.out;  // typed, never shown

    const std::string before = ReadFile("locked.etxt");
    const RunResult unconfirmed = etxt_test::RunEtxtOnTerminal(
        {"passwd", Arg("locked.etxt")}, {"right", "a", "b", "a", "c", "a", "d"});
    EXPECT_EQ(unconfirmed.exitCode, 3) << unconfirmed.out;
    EXPECT_EQ(ReadFile("locked.etxt"), before);

    const RunResult passwd =
        etxt_test::RunEtxtOnTerminal({"passwd", Arg("locked.etxt")}, {"right", U8(u8"\u65B0"), U8(u8"\u65B0")});
    EXPECT_EQ(passwd.exitCode, 0) << passwd.out;
    EXPECT_EQ(PasswordCheck("locked.etxt"), tolvarinth::DigestText("\xD0\xC2"));  // 新 in code page 936
#endif
}

TEST_F(Etxt, WriteReplacesOnlyNotesUnlessForced) {
    WriteFile("plain.txt", "precious");
    const RunResult refused = Run({"write", "--no-password", "@plain.txt"}, "new");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(ReadFile("plain.txt"), "precious");
    ASSERT_EQ(Run({"write", "--no-password", "--force", "@plain.txt"}, "new").exitCode, 0);
    EXPECT_EQ(StoredBody("plain.txt", ""), "new");
}

}  // namespace
