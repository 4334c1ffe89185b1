#pragma once

#include <opencv2/core.hpp>

#include <vector>

namespace camcore {

// What is printed on a settled page, kept for every page taken so that the same page seen again
// (after a hand, a leaf turned back and forth, a slide along the desk) is known for what it is.
// Two pages of plain prose differ in where their paragraphs end, which changes a coarse grid of
// cell means in fewer cells than a finger does; here each pixel row of the 160-pixel copy is
// kept, at two pixels a column, as darkness under the paper around it: lines of print and their
// ends, independent of the lamp.
class PageSignature {
public:
    // The signature of a picture (8-bit grey, the 160-pixel copy).
    static PageSignature of(const cv::Mat& grey);

    // Whether there is print on paper in the picture: a desk, a closed book's cover or a blank
    // sheet has none.
    bool hasPrint() const { return m_inkCells >= kPrintCells; }
    // The same page, allowing it to lie elsewhere by up to a fifth of the picture and a pixel's
    // interpolation.
    bool sameAs(const PageSignature& other) const;
    // Cells in which the print of one of the two pages is missing from the other where they
    // agree best: 0 for the same page, 40 and more for another page of plain prose.
    int differenceFrom(const PageSignature& other) const;

private:
    int difference(const PageSignature& other, int enough) const;

    // Cells that are print: a tenth of a page of text.
    static constexpr int kPrintCells = 150;

    cv::Mat m_darkness;           // CV_8U, 255 = black on paper, 0 = paper or not paper
    cv::Mat m_spread;             // the darkest of m_darkness within a cell of each cell
    std::vector<float> m_columns; // mean grey of each column over the picture's mean
    std::vector<float> m_rows;    // the same of each row
    int m_inkCells = 0;
};

} // namespace camcore
