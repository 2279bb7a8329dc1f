#pragma once
// The grid's find: which rows hold a text, kept from key to key so that the next key
// reads as few rows as it can. A key typed at the end of the text looks only at the
// rows still shown (and first at where each row held the text before); a key taken
// back shows again exactly the rows it hid, reading no row. What it knows holds while
// no cell of the rows it looked at changed and the rows kept their places.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class MyGridClient;
class MyGridItem;

class GridFind
{
public:
    GridFind();
    ~GridFind();
    GridFind(const GridFind&) = delete;
    GridFind& operator=(const GridFind&) = delete;

    // Shows the rows holding the UTF-8 text in the column (-1: any cell; a column at or
    // past `columns` holds nothing) and hides the others, unticking and unfocusing the
    // rows it hides. True when a row was shown or hidden.
    bool Run(MyGridClient& client, int column, int columns, std::string text);
    // The rows from `from` on were just added: those that do not hold the last text
    // are hidden. True when a row was hidden.
    bool MeetNewRows(MyGridClient& client, int from);

    // What the grid tells the find as its rows change.
    // A row's cells changed: a find over it is stale.
    void CellsChanged(int row)
    {
        if (row < foundRows_)
            valid_ = false;
    }
    // A row's cells were emptied (the find's text may have been in any of them).
    void Stale() { valid_ = false; }
    void RowDeleted(int row)
    {
        if (row < foundRows_)
            --foundRows_;
    }
    // The rows moved (a sort): every row counts as found; a change to any makes the find stale.
    void RowsMoved(int count) { foundRows_ = count; }
    // Every row went: the find starts again from nothing.
    void Forget();
    // Makes the room for the notes of the rows as they come (a long list's only).
    void RowsAdded(size_t count);

private:
    struct Scratch;
    struct Walk;
    bool TakeBack(MyGridClient& client, size_t to);
    bool Filter(MyGridClient& client, int column, int columns, const std::string& needle);
    // The two walks over a part of the rows: every row read, or (a key added at the
    // end of the text) the rows' notes checked first and only the rows failing there read.
    void WalkPart(const Walk& walk, size_t part);
    void ExtendPart(const Walk& walk, size_t part);
    Scratch& Notes();

    // The last find, while no cell has changed since: a longer text holding it
    // filters only the rows it left.
    bool valid_ = false;
    int column_ = 0;
    std::string text_;
    // The rows before this index have met the last find; the rows added after it are
    // shown whatever they hold, so their cells can change without making it stale.
    int foundRows_ = 0;
    // What the finds noted of each row (about 70 bytes a row), the keys they can take
    // back and their lists, kept from key to key; gone with the rows.
    std::unique_ptr<Scratch> scratch_;
};
