#include "tools/vorlapage/mail_text.h"

#include <gmime/gmime.h>

#include <memory>

namespace {

struct GFree {
    void operator()(char* text) const { g_free(text); }
};
struct GUnref {
    void operator()(void* object) const { g_object_unref(object); }
};

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

void AddNames(InternetAddressList* list, std::vector<std::string>& names) {
    if (!list) return;
    for (int i = 0; i < internet_address_list_length(list); ++i) {
        InternetAddress* address = internet_address_list_get_address(list, i);
        if (INTERNET_ADDRESS_IS_GROUP(address)) {
            AddNames(internet_address_group_get_members(INTERNET_ADDRESS_GROUP(address)), names);
            continue;
        }
        if (!INTERNET_ADDRESS_IS_MAILBOX(address)) continue;
        const char* addr = internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address));
        if (!addr) continue;
        const std::string_view whole(addr);
        const std::string name = NameFromLocalPart(whole.substr(0, whole.rfind('@')));
        if (!name.empty()) names.push_back(name);
    }
}

struct Bodies {
    std::optional<std::string> plain;
    std::optional<std::string> html;
};

// The first text/plain and text/html parts that are not attachments, depth first; a
// forwarded message inside is not the sender's own text and is passed over.
void FindBodies(GMimeObject* part, Bodies& bodies, int depth) {
    if (!part || depth > 32 || bodies.plain) return;
    if (GMIME_IS_MULTIPART(part)) {
        GMimeMultipart* multipart = GMIME_MULTIPART(part);
        for (int i = 0; i < g_mime_multipart_get_count(multipart); ++i)
            FindBodies(g_mime_multipart_get_part(multipart, i), bodies, depth + 1);
        return;
    }
    if (!GMIME_IS_TEXT_PART(part) || g_mime_part_is_attachment(GMIME_PART(part))) return;
    GMimeContentType* type = g_mime_object_get_content_type(part);
    const bool plain = g_mime_content_type_is_type(type, "text", "plain");
    const bool html = g_mime_content_type_is_type(type, "text", "html");
    if (!plain && !(html && !bodies.html)) return;
    std::unique_ptr<char, GFree> text(g_mime_text_part_get_text(GMIME_TEXT_PART(part)));
    if (!text) return;
    (plain ? bodies.plain : bodies.html) = std::string(text.get());
}

// HTML reduced to its text: tags go (with what script and style hold), the common entities
// become their characters, block ends become line ends.
std::string HtmlToText(std::string_view html) {
    std::string out;
    size_t i = 0;
    while (i < html.size()) {
        if (html[i] == '<') {
            const size_t end = html.find('>', i);
            if (end == std::string_view::npos) break;
            const std::string tag = Lower(std::string(html.substr(i + 1, end - i - 1)));
            i = end + 1;
            for (const char* hidden : {"script", "style"}) {
                if (tag.rfind(hidden, 0) == 0) {
                    const size_t close = Lower(std::string(html.substr(i))).find(std::string("</") + hidden);
                    i = close == std::string::npos ? html.size() : i + close;
                }
            }
            if (tag.rfind("br", 0) == 0 || tag.rfind("/p", 0) == 0 || tag.rfind("/div", 0) == 0 ||
                tag.rfind("/tr", 0) == 0)
                out.push_back('\n');
            continue;
        }
        if (html[i] == '&') {
            static constexpr std::pair<std::string_view, char> kEntities[] = {
                {"&amp;", '&'},  {"&lt;", '<'},    {"&gt;", '>'},  {"&quot;", '"'},
                {"&#39;", '\''}, {"&apos;", '\''}, {"&nbsp;", ' '}};
            bool known = false;
            for (const auto& [entity, c] : kEntities) {
                if (html.substr(i, entity.size()) == entity) {
                    out.push_back(c);
                    i += entity.size();
                    known = true;
                    break;
                }
            }
            if (known) continue;
        }
        out.push_back(html[i++]);
    }
    return out;
}

// Drops the signature (from a line "-- ") and quoted lines ("> ..." and the "... wrote:"
// line that introduces them), and folds the rest into one line of single blanks.
std::string PageBody(std::string_view body) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= body.size()) {
        size_t end = body.find('\n', start);
        if (end == std::string_view::npos) end = body.size();
        std::string line(body.substr(start, end - start));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        start = end + 1;
        if (line == "-- " || line == "--") break;
        if (!line.empty() && line[0] == '>') {
            if (!lines.empty() && lines.back().size() > 6 &&
                lines.back().compare(lines.back().size() - 6, 6, "wrote:") == 0)
                lines.pop_back();
            continue;
        }
        lines.push_back(std::move(line));
    }
    std::string text;
    for (const std::string& line : lines) {
        for (char c : line) {
            const bool blank = c == ' ' || c == '\t';
            if (blank && (text.empty() || text.back() == ' ')) continue;
            text.push_back(blank ? ' ' : c);
        }
        if (!text.empty() && text.back() != ' ') text.push_back(' ');
    }
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

// Cut to at most `maxLength` characters of UTF-8, never inside a character.
std::string CutUtf8(std::string text, size_t maxLength) {
    size_t characters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (characters++ == maxLength) {
            text.resize(i);
            break;
        }
    }
    return text;
}

}  // namespace

std::string NameFromLocalPart(std::string_view localPart) {
    std::string name(localPart);
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
    for (char& c : name)
        if (c == '.' || c == '_') c = ' ';
    return name;
}

std::optional<MailPage> ParseMail(std::string_view bytes, size_t maxLength) {
    static const bool initialised = [] {
        g_mime_init();
        return true;
    }();
    (void)initialised;
    std::unique_ptr<GMimeStream, GUnref> stream(
        g_mime_stream_mem_new_with_buffer(bytes.data(), bytes.size()));
    std::unique_ptr<GMimeParser, GUnref> parser(g_mime_parser_new_with_stream(stream.get()));
    std::unique_ptr<GMimeMessage, GUnref> message(g_mime_parser_construct_message(parser.get(), nullptr));
    if (!message) return std::nullopt;
    MailPage page;
    AddNames(g_mime_message_get_to(message.get()), page.names);
    AddNames(g_mime_message_get_cc(message.get()), page.names);
    Bodies bodies;
    FindBodies(g_mime_message_get_mime_part(message.get()), bodies, 0);
    std::string body;
    if (bodies.plain)
        body = PageBody(*bodies.plain);
    else if (bodies.html)
        body = PageBody(HtmlToText(*bodies.html));
    const char* subject = g_mime_message_get_subject(message.get());
    std::string text = subject ? PageBody(subject) : std::string();
    if (!text.empty() && !body.empty()) text += ": ";
    text += body;
    page.text = CutUtf8(std::move(text), maxLength);
    return page;
}
