#pragma once

#include <array>
#include <bitset>
#include <vector>

namespace tarnwell {

// The columns of a grid as the view shows them: one width per display column, and which of the first
// 256 real columns are hidden, with the width each had when it was hidden. Beyond real column 255 every
// column is visible, so the display/real mapping is the identity there, shifted by the hidden count.
// Count rules that involve the fixed columns are the grid's business; this class only keeps the lists.
class ColumnLayout {
public:
    static constexpr int kHideableColumns = 256;
    static constexpr int kDefaultWidth = 64;

    explicit ColumnLayout(int count) : widths_(static_cast<std::size_t>(count), kDefaultWidth) {}

    // Display columns.
    int Count() const { return static_cast<int>(widths_.size()); }
    // New display columns get the default width; columns cut off lose theirs.
    void Resize(int count) { widths_.resize(static_cast<std::size_t>(count), kDefaultWidth); }

    // The default width outside the display columns.
    int Width(int display_col) const;
    // Throws ETableGridError "Grid index out of range" outside the display columns.
    void SetWidth(int display_col, int width);

    int NumHidden() const { return hidden_; }
    bool IsHidden(int real_col) const;
    int RealIndex(int display_col) const;
    int DisplayIndex(int real_col) const;
    std::vector<int> VisibleReal() const;

    // Hides the real column if it is visible, within the real columns and not the last one visible:
    // its display column and width go (saved for later) and the count drops by one. False when not.
    bool Hide(int real_col);
    // Shows every hidden real column up to and including Count() + NumHidden() (taken once), in real
    // order, each at its display position with its saved width.
    void UnHideAll();

private:
    std::vector<int> widths_;
    std::bitset<kHideableColumns> hidden_flags_;
    int hidden_ = 0;
    std::array<int, kHideableColumns> saved_widths_{};
};

}  // namespace tarnwell
