// The manual the build lays out beside the program: the page, the pictures of the windows it
// shows, and the menu items of the real windows, which it must all list.
#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <QString>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kManualDir = MANUAL_DIR;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const std::string& Page() {
    static const std::string page = ReadFile(kManualDir / "index.htm");
    return page;
}

// The tags of that name, whole.
std::vector<std::string> Tags(const std::string& name) {
    const std::regex tag("<" + name + "\\b[^>]*>");
    std::vector<std::string> tags;
    for (std::sregex_iterator it(Page().begin(), Page().end(), tag), end; it != end; ++it)
        tags.push_back(it->str());
    return tags;
}

// The value of an attribute of a tag; empty when it has none.
std::string Attribute(const std::string& tag, const std::string& name) {
    std::smatch match;
    const std::regex value("\\b" + name + "=\"([^\"]*)\"");
    return std::regex_search(tag, match, value) ? match[1].str() : "";
}

std::vector<std::string> TableRows() {
    const std::regex row("<tr>([\\s\\S]*?)</tr>");
    std::vector<std::string> rows;
    for (std::sregex_iterator it(Page().begin(), Page().end(), row), end; it != end; ++it)
        rows.push_back((*it)[1].str());
    return rows;
}

std::string Escaped(const std::string& text) {
    std::string html;
    for (const char c : text) {
        if (c == '&')
            html += "&amp;";
        else if (c == '<')
            html += "&lt;";
        else if (c == '>')
            html += "&gt;";
        else
            html += c;
    }
    return html;
}

struct MenuItem {
    std::string window, menu, label, shortcut;
};

// What the tool that draws the windows found in their menus.
std::vector<MenuItem> MenuItems() {
    std::ifstream in(MENUS_FILE);
    std::vector<MenuItem> items;
    for (std::string line; std::getline(in, line);) {
        MenuItem item;
        std::istringstream fields(line);
        std::getline(fields, item.window, '\t');
        std::getline(fields, item.menu, '\t');
        std::getline(fields, item.label, '\t');
        std::getline(fields, item.shortcut, '\t');
        items.push_back(item);
    }
    return items;
}

// The pictures must be of windows that drew something, not of a flat surface.
int Colours(const QImage& image) {
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2) colours.insert(image.pixel(x, y));
    return int(colours.size());
}

TEST(DesktopManual, IsTheWrittenPageWholeInUtf8WithNothingFromElsewhere) {
    ASSERT_FALSE(Page().empty());
    EXPECT_TRUE(Page() == ReadFile(MANUAL_SOURCE)) << "the build's copy is not the written page";
    EXPECT_TRUE(QString::fromUtf8(Page()).toUtf8().toStdString() == Page()) << "not UTF-8";
    EXPECT_NE(Page().find("<meta charset=\"utf-8\">"), std::string::npos);
    for (const char* outside : {"http:", "https:", "<link", "<script", "@import", "url("})
        EXPECT_EQ(Page().find(outside), std::string::npos) << outside;
}

TEST(DesktopManual, EveryPictureShownIsAWindowTheBuildDrewAtTheSizeThePageGives) {
    const std::vector<std::string> images = Tags("img");
    ASSERT_GE(images.size(), 5u);
    for (const std::string& tag : images) {
        const std::string source = Attribute(tag, "src");
        SCOPED_TRACE(source);
        ASSERT_FALSE(source.empty());
        EXPECT_EQ(source.find(':'), std::string::npos);
        EXPECT_NE(source.front(), '/');
        EXPECT_FALSE(Attribute(tag, "alt").empty());
        const fs::path file = kManualDir / source;
        ASSERT_TRUE(fs::is_regular_file(file));
        QImageReader reader(QString::fromStdString(file.string()));
        EXPECT_EQ(reader.format(), "png");
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(std::to_string(image.width()), Attribute(tag, "width"));
        EXPECT_EQ(std::to_string(image.height()), Attribute(tag, "height"));
        // The smallest window shown is the colour picker, 81 pixels high.
        EXPECT_GE(image.width(), 80);
        EXPECT_GE(image.height(), 80);
        EXPECT_GT(Colours(image), 16);
    }
}

TEST(DesktopManual, EveryPictureTheBuildDrewIsShown) {
    std::set<std::string> shown;
    for (const std::string& tag : Tags("img")) shown.insert(Attribute(tag, "src"));
    int drawn = 0;
    for (const auto& entry : fs::directory_iterator(kManualDir / "images")) {
        EXPECT_EQ(shown.count("images/" + entry.path().filename().string()), 1u) << entry.path();
        drawn++;
    }
    EXPECT_EQ(drawn, int(shown.size()));
}

TEST(DesktopManual, LinksWithinThePageLeadToItsSections) {
    std::set<std::string> ids;
    for (const std::string& tag : Tags("[a-z0-9]+")) {
        const std::string id = Attribute(tag, "id");
        if (id.empty()) continue;
        EXPECT_TRUE(ids.insert(id).second) << "twice: " << id;
    }
    int links = 0;
    for (const std::string& tag : Tags("a")) {
        const std::string target = Attribute(tag, "href");
        ASSERT_EQ(target.rfind('#', 0), 0u) << target;
        EXPECT_EQ(ids.count(target.substr(1)), 1u) << target;
        links++;
    }
    EXPECT_GE(links, 10);
}

// Each item heads one row of a menu's table, its shortcut in the same row.
TEST(DesktopManual, ListsEveryMenuItemOfTheWindowsWithItsShortcutInOneRow) {
    const std::vector<MenuItem> items = MenuItems();
    ASSERT_GE(items.size(), 20u);
    const std::vector<std::string> rows = TableRows();
    for (const MenuItem& item : items) {
        const std::string label = "<td>" + Escaped(item.label) + "</td>";
        const std::string shortcut = "<kbd>" + Escaped(item.shortcut) + "</kbd>";
        int found = 0;
        for (const std::string& row : rows) {
            if (row.rfind(label, 0) != 0) continue;
            found++;
            if (item.shortcut.empty()) continue;
            EXPECT_NE(row.find(shortcut), std::string::npos) << row;
        }
        EXPECT_EQ(found, 1) << item.window << " > " << item.menu << " > " << item.label;
    }
}

}  // namespace
