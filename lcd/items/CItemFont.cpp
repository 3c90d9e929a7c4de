#include "items/CItemFont.h"

#include <algorithm>
#include <limits>

#include "base/Archive.h"
#include "base/ColourCode.h"
#include "base/StringFormat.h"
#include "gfx/Surface.h"

namespace {

constexpr int32_t kTypeText = 15;
// Bytes one character takes in the page file; bounds the count read from a file.
constexpr size_t kCharRecordBytes = 1 + 1 + 8 + 4 + 4 + 4 + 1 + 1 + 4;

int32_t Clamp32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

CursorShape TextHandleCursor(int h) {
    // Unlike other items, the body of a selected text box shows no move cursor: it is
    // moved only by its centre handle.
    return h == 0 ? CursorShape::Cross : CItemBase::HandleCursor(h);
}

}  // namespace

CItemFont::CItemFont() {
    m_nType = kTypeText;
}

CItemFont::CItemFont(int x, int y, COLORREF colour) {
    m_nType = kTypeText;
    m_x1 = m_x2 = x;
    m_y1 = m_y2 = y;
    m_crColor = colour;
    m_xCaret = x + 1;
    m_yCaret = y + 1;
    m_nCaret = 0;
    m_nCaretHeight = 16;
    m_bCreating = 1;
    m_bTextFlag = 1;
}

void CItemFont::Serialize(Archive& ar) {
    ar.Int32(m_nType);
    ar.Point(m_x1, m_y1);
    ar.Point(m_x2, m_y2);
    auto count = static_cast<int32_t>(m_arrChars.size());
    ar.Int32(count);
    if (ar.IsLoading()) {
        if (!ar.Ok()) return;
        if (count < 0 || static_cast<uint64_t>(count) > ar.Remaining() / kCharRecordBytes) {
            ar.Fail(StringFormat("文字的字符数 %d 无效", count));
            return;
        }
        m_arrChars.assign(static_cast<size_t>(count), CTextChar{});
    }
    for (CTextChar& c : m_arrChars) {
        ar.Byte(c.m_lead);
        ar.Byte(c.m_trail);
        ar.Point(c.m_x, c.m_y);
        ar.Int32(c.m_nHMag);
        ar.Int32(c.m_nVMag);
        ar.UInt32(c.m_crColor);
        ar.Byte(c.m_codeLo);
        ar.Byte(c.m_codeHi);
        ar.Int32(c.m_bDouble);
    }
    if (ar.IsLoading()) {
        m_bCreating = 0;
        m_bTextFlag = 0;
        m_nCaret = -1;
        m_bCaretValid = 0;
        m_bExpectLead = 1;
    }
}

std::unique_ptr<CItemBase> CItemFont::Clone() const {
    auto copy = std::make_unique<CItemFont>(*this);
    copy->m_nType = kTypeText;
    return copy;
}

int CItemFont::UpdateHandles() {
    CItemBase::UpdateHandles();
    m_rcHandles[0] = Rect{m_x1, m_y1, m_x2, m_y2};
    return 0;
}

void CItemFont::DrawHandles(Surface& dc) {
    UpdateHandles();
    DrawMarks(dc, true, 1, 9);
    m_bSelected = 1;
    m_bTextFlag = 0;
}

int CItemFont::MoveHandle(int ox, int oy, int nx, int ny) {
    if (m_nHandle == 0) return 0;
    return CItemBase::MoveHandle(ox, oy, nx, ny);
}

int CItemFont::OnLButtonDown(int x, int y) {
    m_bExpectLead = 1;
    ClearHighlights();
    const int h = HitTest(x, y);
    if (h < 0) {
        if (!m_bSelected && !m_bTextFlag) return 0;
        m_bSelected = m_bTextFlag = m_bDragging = m_bModified = 0;
        m_nCaret = -1;
        m_bCaretValid = 0;
        return 1;
    }
    if (m_bTextFlag) {
        m_xAnchor = x, m_yAnchor = y;
        m_bDragging = 1;
        PlaceCaret(x, y);
        return 0;
    }
    if (!m_bSelected || h != 0) {
        m_bSelected = 1;
        if (h != 0) {
            m_bDragging = 1;
            return 0;
        }
        m_bDragging = m_bModified = m_bTextFlag = 0;
        m_nCaret = -1;
        m_bCaretValid = 0;
        return 1;
    }
    // A second click on the body of the selected box starts editing there.
    m_xAnchor = x, m_yAnchor = y;
    m_bSelected = 0;
    m_bTextFlag = m_bDragging = 1;
    m_bModified = 0;
    PlaceCaret(x, y);
    return 1;
}

int CItemFont::OnLButtonUp(int x, int y) {
    (void)x;
    (void)y;
    if (m_x1 == m_x2 && m_y1 == m_y2) return -1;
    m_bDragging = 0;
    if (!m_bCreating) return m_arrChars.empty() ? -1 : 1;
    m_bCreating = 0;
    // A frame dragged up or to the left would make every character wrap; keep it upright.
    if (m_x1 > m_x2) std::swap(m_x1, m_x2);
    if (m_y1 > m_y2) std::swap(m_y1, m_y2);
    if (m_arrChars.empty()) {
        m_xCaret = m_x1 + 1;
        m_yCaret = m_y1 + 1;
    }
    return 0;
}

int CItemFont::OnMouseMove(CursorShape& cursor, int ox, int oy, int nx, int ny) {
    if (m_bCreating) {
        m_x2 = nx, m_y2 = ny;
        return 1;
    }
    int h = m_nHandle;
    if (!m_bDragging) {
        UpdateHandles();
        h = HitTest(nx, ny);
    }
    if (m_bSelected) cursor = TextHandleCursor(h);
    if (m_bTextFlag) {
        if (m_nHandle < 0) {
            cursor = CursorShape::Cross;
        } else {
            cursor = CursorShape::Text;
            if (m_bDragging) {
                HighlightRange(m_xAnchor, m_yAnchor, nx, ny);
                return 1;
            }
        }
    }
    if (m_bSelected && m_bDragging) {
        MoveHandle(ox, oy, nx, ny);
        UpdateHandles();
        return 1;
    }
    return 0;
}

int CItemFont::CellSize(int viewExtent, int logicalExtent) {
    if (logicalExtent <= 0) return 16;
    const int64_t q = int64_t{16} * viewExtent;
    int64_t cell = q / logicalExtent;
    const int64_t rem = q % logicalExtent;
    if (2 * rem > logicalExtent) ++cell;
    return Clamp32(cell);
}

void CItemFont::Draw(Surface& dc) {
    // The canvas surface is the page's own pixel grid (the view zooms when it shows it),
    // so the cell is always the font's 16 x 16.
    DrawCells(dc, 16, 16);
}

void CItemFont::DrawCells(Surface& dc, int cellWidth, int cellHeight) {
    if (m_bCreating) {
        WhiteFrame(dc);
        return;
    }
    if (!m_bTextFlag) ClearHighlights();
    LayoutAndDraw(&dc, cellWidth, cellHeight);
}

void CItemFont::WhiteFrame(Surface& dc) const {
    const Surface::Pen savedPen = dc.GetPen();
    const Surface::Brush savedBrush = dc.GetBrush();
    dc.SetPen(Surface::Pen{Surface::PenStyle::Solid, 1, Rgb(255, 255, 255)});
    dc.SetBrush(Surface::Brush{Surface::BrushStyle::None, 0});
    dc.Rectangle(m_x1, m_y1, m_x2, m_y2);
    dc.SetPen(savedPen);
    dc.SetBrush(savedBrush);
}

void CItemFont::TakeCurrent(const CTextChar& ch) {
    m_nHMag = ch.m_nHMag;
    m_nVMag = ch.m_nVMag;
}

void CItemFont::LayoutAndDraw(Surface* dc, int cellWidth, int cellHeight) {
    const int64_t H = cellHeight;
    const auto n = static_cast<int64_t>(m_arrChars.size());
    bool placed = false;
    std::shared_ptr<const DotFonts> fonts;
    if (dc) {
        fonts = m_pFonts ? m_pFonts : DotFonts::Shared();
        m_nMissingFonts = 0;
    }
    if (n > 0) {
        int64_t x = int64_t{m_x1} + 1, y = m_y1;
        m_y2 = m_y1;
        m_nCellHeight = cellHeight;
        for (int64_t i = 0; i < n; ++i) {
            CTextChar& c = m_arrChars[static_cast<size_t>(i)];
            if (i == m_nCaret) {
                const CTextChar& before = m_arrChars[static_cast<size_t>(i == 0 ? 0 : i - 1)];
                m_xCaret = Clamp32(x), m_yCaret = Clamp32(y);
                TakeCurrent(before);
                m_nCaretHeight = Clamp32(H * before.m_nVMag);
                placed = true;
            }
            if (c.IsReturn()) {
                if (i == n - 1) {
                    // A trailing line break leaves room for the empty line after it.
                    m_y2 = Clamp32(y + H * m_nVMag * 2);
                    if (!placed) {
                        m_xCaret = m_x1, m_yCaret = Clamp32(y + H * m_nVMag);
                        placed = true;
                    }
                    break;
                }
                x = int64_t{m_x1} + 1;
                y += H * m_nVMag;
                m_nVMag = 1;
                continue;
            }
            const int64_t w = c.LayoutWidth(cellWidth);
            const int64_t h = c.LayoutHeight(cellHeight);
            if (x + w > m_x2) {
                // The wrapped line steps down by this character's own height and starts its
                // line factor from the horizontal magnification, as the module's layout did.
                x = int64_t{m_x1} + 1;
                y += h;
                m_nVMag = c.m_nHMag;
            } else {
                m_nVMag = std::max(m_nVMag, c.m_nVMag);
            }
            if (y + h > m_y2) m_y2 = Clamp32(m_y2 + h);
            c.m_x = Clamp32(x), c.m_y = Clamp32(y);
            c.m_nWidth = Clamp32(w), c.m_nHeight = Clamp32(h);
            if (dc) {
                if (c.LoadGlyph(*fonts) == CTextChar::GlyphState::FontMissing)
                    m_nMissingFonts |= c.m_bDouble ? kHanziFontMissing : kAsciiFontMissing;
                c.DrawGlyph(*dc, cellWidth, cellHeight);
            }
            x += w;
        }
        if (!placed && m_nCaret >= n) {
            const CTextChar& last = m_arrChars.back();
            m_xCaret = Clamp32(x), m_yCaret = Clamp32(y);
            m_nCaretHeight = Clamp32(H * last.m_nVMag);
            placed = true;
        }
    }
    if (placed) m_bCaretValid = 1;
    if (dc) {
        if (m_bSelected) DrawHandles(*dc);
        if (m_bTextFlag) WhiteFrame(*dc);
    }
}

int CItemFont::PlaceCaret(int px, int py) {
    m_bCaretValid = 1;
    if (m_arrChars.empty()) {
        m_xCaret = m_x1, m_yCaret = m_y1;
        m_nCaret = 0;
        m_nHMag = m_nVMag = 1;
        return 0;
    }
    const CTextChar* last = nullptr;
    int64_t lastWidth = 0, lastHeight = 16;
    for (size_t i = 0; i < m_arrChars.size(); ++i) {
        const CTextChar& c = m_arrChars[i];
        if (c.IsReturn()) continue;
        const int64_t cw = int64_t{c.m_bDouble ? 16 : 8} * c.m_nHMag;
        const int64_t l = int64_t{16} * c.m_nVMag;
        const int64_t g = c.m_x, t = c.m_y;
        if (px >= g + cw / 2 && px <= g + cw && t < py && py < t + l) {
            // Right half: after the character; the caret keeps its row.
            m_xCaret = Clamp32(g + cw);
            m_nCaret = static_cast<int32_t>(i + 1);
            m_nCaretHeight = Clamp32(l);
            TakeCurrent(c);
            m_crColor = c.m_crColor;
            return m_nCaret;
        }
        if (g <= px && px < g + cw / 2 && t <= py && py < t + l) {
            m_xCaret = c.m_x, m_yCaret = c.m_y;
            m_nCaret = static_cast<int32_t>(i);
            m_nCaretHeight = Clamp32(l);
            const CTextChar& before = m_arrChars[i == 0 ? 0 : i - 1];
            TakeCurrent(before);
            m_crColor = before.m_crColor;
            return m_nCaret;
        }
        last = &c;
        lastWidth = cw;
        lastHeight = l;
    }
    m_nCaret = static_cast<int32_t>(m_arrChars.size());
    if (last) {
        m_xCaret = Clamp32(last->m_x + lastWidth), m_yCaret = last->m_y;
    } else {
        m_xCaret = m_x1, m_yCaret = m_y1;
    }
    m_nCaretHeight = Clamp32(lastHeight);
    return m_nCaret;
}

void CItemFont::Insert(const CTextChar& ch) {
    const auto count = static_cast<int32_t>(m_arrChars.size());
    // No caret (-1) or a stale one: type at the end.
    const int32_t at = (m_nCaret < 0 || m_nCaret > count) ? count : m_nCaret;
    m_arrChars.insert(m_arrChars.begin() + at, ch);
    m_nCaret = at + 1;
}

int CItemFont::InsertChar(uint8_t b, uint8_t codeLo, uint8_t codeHi) {
    CTextChar c;
    c.m_crColor = m_crColor;
    c.m_nHMag = m_nHMag;
    c.m_nVMag = m_nVMag;
    c.m_x = m_xCaret;
    c.m_y = m_yCaret;
    if (b == 8 || b == 13 || (b >= 32 && b <= 126)) {
        // A single-byte key ends any half-typed GB2312 character: its first byte would
        // otherwise pair with the first byte of the next one.
        m_bExpectLead = 1;
        if (b == 8) {
            DeleteChar(1);
            return 1;
        }
        c.m_lead = b;
        if (b != 13) c.m_codeLo = codeLo, c.m_codeHi = codeHi;
        Insert(c);
        return 1;
    }
    if (m_bExpectLead) {
        if (b >= 129 && b <= 254) {
            m_pending[0] = b;
            m_bExpectLead = 0;
            return 0;
        }
        return 1;
    }
    m_bExpectLead = 1;
    // Only a GBK second byte completes the character; a control byte drops the pending one.
    if (b < 0x80 || b == 0xFF) return 1;
    m_pending[1] = b;
    c.m_lead = m_pending[0];
    c.m_trail = b;
    c.m_bDouble = 1;
    c.m_codeLo = codeLo, c.m_codeHi = codeHi;
    Insert(c);
    return 1;
}

int CItemFont::DeleteChar(int backward) {
    if (HasHighlight()) {
        int32_t lowest = m_nCaret;
        for (size_t i = m_arrChars.size(); i-- > 0;) {
            if (!m_arrChars[i].m_bHighlight) continue;
            m_arrChars.erase(m_arrChars.begin() + static_cast<ptrdiff_t>(i));
            lowest = static_cast<int32_t>(i);
        }
        m_nCaret = lowest;
        return 1;
    }
    const auto count = static_cast<int32_t>(m_arrChars.size());
    int32_t at = -1;
    if (backward) {
        const int32_t caret = std::min(m_nCaret, count);
        if (caret > 0) at = caret - 1;
    } else if (m_nCaret >= 0 && m_nCaret < count) {
        at = m_nCaret;
    }
    if (at < 0) return 0;
    m_xCaret = m_arrChars[static_cast<size_t>(at)].m_x;
    m_yCaret = m_arrChars[static_cast<size_t>(at)].m_y;
    m_arrChars.erase(m_arrChars.begin() + at);
    m_nCaret = at;
    return 1;
}

void CItemFont::HighlightRange(int ax, int ay, int bx, int by) {
    const int e = PlaceCaret(ax, ay);
    const int f = PlaceCaret(bx, by);
    const int lo = std::min(e, f), hi = std::max(e, f);
    for (size_t i = 0; i < m_arrChars.size(); ++i) {
        const auto k = static_cast<int>(i);
        m_arrChars[i].m_bHighlight = (k >= lo && k < hi) ? 1 : 0;
    }
}

void CItemFont::ClearHighlights() {
    for (CTextChar& c : m_arrChars)
        c.m_bHighlight = 0;
}

bool CItemFont::HasHighlight() const {
    return std::any_of(m_arrChars.begin(), m_arrChars.end(),
                       [](const CTextChar& c) { return c.m_bHighlight != 0; });
}

CItemFont::Caret CItemFont::GetCaret() const {
    Caret caret;
    caret.visible = m_bTextFlag && !m_bCreating;
    caret.x = m_xCaret;
    caret.y = m_yCaret;
    caret.height = m_nCaretHeight;
    return caret;
}

void CItemFont::AddToTree(TreeNode& parent, int index) {
    (void)index;
    TreeNode node;
    node.text = StringFormat("文字: 边框左上角(%d,%d),右下角(%d,%d)", m_x1, m_y1, m_x2, m_y2);
    node.checked = m_bSelected != 0;
    for (const CTextChar& c : m_arrChars) {
        TreeNode line;
        line.text =
            StringFormat("%s:起始点(%d,%d) 横向放大:%d 纵向放大:%d 颜色代码:%X%X", c.Utf8().c_str(),
                         c.m_x, c.m_y, c.m_nHMag, c.m_nVMag, static_cast<unsigned>(c.m_codeHi),
                         static_cast<unsigned>(c.m_codeLo));
        if (c.m_bHighlight) {
            line.checked = true;
            node.checked = true;
        }
        node.children.push_back(std::move(line));
    }
    parent.children.push_back(std::move(node));
}

int CItemFont::Emit(CByteArray* out) const {
    int length = 0;
    auto put = [&](int b) {
        if (out) out->push_back(static_cast<uint8_t>(b));
        ++length;
    };
    auto word = [&](int64_t v) {
        put(static_cast<int>(v & 0xFF));
        put(static_cast<int>((v >> 8) & 0xFF));
    };
    int32_t lastY = 0, lastH = 0, lastV = 0;
    COLORREF lastColour = 0;
    bool haveColour = false, first = true, lastDouble = false;
    for (const CTextChar& c : m_arrChars) {
        if (c.IsReturn()) continue;
        bool sent = false;
        // Characters of one line follow each other on the module; only a new row needs
        // a position.
        if (c.m_y != lastY) {
            put(0x1B), put(0x48), word(c.m_x), word(c.m_y);
            lastY = c.m_y;
            sent = true;
        }
        if (!haveColour || c.m_crColor != lastColour) {
            put(0x1B), put(0x43), put(ColourCode::Byte(c.m_codeHi, c.m_codeLo));
            haveColour = true;
            lastColour = c.m_crColor;
            sent = true;
        }
        if (c.m_nHMag != lastH || c.m_nVMag != lastV) {
            put(0x1B), put(0x4D);
            const int h = c.m_nHMag, v = c.m_nVMag;
            if (h == 1 && v == 1) {
                put(0x51);
            } else if (h == 2 && v == 1) {
                put(0x52);
            } else if (h == 1 && v == 2) {
                put(0x53);
            } else if (h == 2 && v == 2) {
                put(0x54);
            } else {
                put(0x55), put(h & 0xFF), put(v & 0xFF);
            }
            lastH = h, lastV = v;
            sent = true;
        }
        const bool isDouble = c.m_bDouble != 0;
        if (first || sent || isDouble != lastDouble) put(0x1B), put(isDouble ? 0x23 : 0x24);
        put(c.m_lead);
        if (isDouble) put(c.m_trail);
        first = false;
        lastDouble = isDouble;
    }
    return length;
}

int CItemFont::Encode(int flashMode, CByteArray& bytes, const DownloadSettings&) {
    (void)flashMode;
    return Emit(&bytes);
}

int CItemFont::GetEncodedLength() {
    return Emit(nullptr);
}
