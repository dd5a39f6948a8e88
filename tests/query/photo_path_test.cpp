// The photo path rule: which file a record's photo is and which folder it needs, the
// separators of photo folders filled on Windows, and values that would leave the folder.
// GBK texts are written as explicit bytes.
#include "query/photo_path.h"

#include <gtest/gtest.h>

namespace {

const std::string kFolder = "/opt/lookup/photo";
const std::string k一班 = "\xD2\xBB\xB0\xE0";
const std::string k昞 = "\x95\x5C";  // its second byte is "\"

TEST(PhotoPath, NumberSecondKeyAndClass) {
    EXPECT_EQ(query::photoFolderOf("/opt/lookup"), kFolder);
    EXPECT_EQ(query::photoPath(kFolder, "0001", "", k一班), kFolder + "/" + k一班 + "/0001.jpg");
    EXPECT_EQ(query::photoSubfolder(kFolder, k一班), kFolder + "/" + k一班);
    EXPECT_EQ(query::photoPath(kFolder, "0001", "7", k一班),
              kFolder + "/" + k一班 + "/0001_7.jpg");
    // No class: the photo lies in the photo folder itself and no sub-folder is made.
    EXPECT_EQ(query::photoPath(kFolder, "0001", "", ""), kFolder + "/0001.jpg");
    EXPECT_EQ(query::photoPath(kFolder, "0001", "7", ""), kFolder + "/0001_7.jpg");
    EXPECT_EQ(query::photoSubfolder(kFolder, ""), "");
    // Every value empty.
    EXPECT_EQ(query::photoPath(kFolder, "", "", ""), kFolder + "/.jpg");
}

TEST(PhotoPath, SpacesAreNotEmpty) {
    EXPECT_EQ(query::photoPath(kFolder, "0001", " ", ""), kFolder + "/0001_ .jpg");
    EXPECT_EQ(query::photoPath(kFolder, "0001", "", " "), kFolder + "/ /0001.jpg");
    EXPECT_EQ(query::photoSubfolder(kFolder, " "), kFolder + "/ ");
}

TEST(PhotoPath, BackslashSeparatesFoldersButNotInsideACharacter) {
    const std::string yearClass = "2023\\" + k一班;
    EXPECT_EQ(query::photoPath(kFolder, "0001", "", yearClass),
              kFolder + "/2023/" + k一班 + "/0001.jpg");
    // One level: the caller's mkdir makes the lower folder only below an existing 2023.
    EXPECT_EQ(query::photoSubfolder(kFolder, yearClass), kFolder + "/2023/" + k一班);
    EXPECT_EQ(query::photoPath(kFolder, "a\\b", "", ""), kFolder + "/a/b.jpg");
    EXPECT_EQ(query::photoPath(kFolder, "a/b", "", ""), kFolder + "/a/b.jpg");
    EXPECT_EQ(query::photoPath(kFolder, k昞, "", k昞), kFolder + "/" + k昞 + "/" + k昞 + ".jpg");
    EXPECT_EQ(query::photoSubfolder(kFolder, k昞), kFolder + "/" + k昞);
}

// A record value could name any file on the machine as its "photo", and make folders there.
TEST(PhotoPath, ValuesThatLeaveThePhotoFolderAreRefused) {
    EXPECT_EQ(query::photoPath(kFolder, "0001", "", ".."), "");
    EXPECT_EQ(query::photoSubfolder(kFolder, ".."), "");
    EXPECT_EQ(query::photoSubfolder(kFolder, "..\\..\\etc"), "");
    EXPECT_EQ(query::photoSubfolder(kFolder, k一班 + "/../../x"), "");
    EXPECT_EQ(query::photoPath(kFolder, "../../../etc/secret", "", ""), "");
    EXPECT_EQ(query::photoPath(kFolder, "x", "/../../y", k一班), "");
    EXPECT_EQ(query::photoPath(kFolder, std::string("a\0b", 3), "", ""), "");
    // Dots that are part of a name stay inside.
    EXPECT_EQ(query::photoPath(kFolder, "..", "", ""), kFolder + "/...jpg");
    EXPECT_EQ(query::photoPath(kFolder, "1", "..", ""), kFolder + "/1_...jpg");
    EXPECT_EQ(query::photoPath(kFolder, "x", "", "..."), kFolder + "/.../x.jpg");
    EXPECT_EQ(query::photoPath(kFolder, "x", "", "/abs"), kFolder + "//abs/x.jpg");
}

}  // namespace
