#include "paging/wctp/wctp_xml.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlwriter.h>

#include <climits>
#include <memory>

namespace vorla::wctp {
namespace {

constexpr const char* kVersion = "wctp-dtd-v1r3";

const xmlChar* X(const char* text) {
    return reinterpret_cast<const xmlChar*>(text);
}

std::string ForXml(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') c = ' ';
    }
    return out;
}

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using DocPtr = std::unique_ptr<xmlDoc, DocFree>;

// A document read with nothing fetched and nothing expanded, or null with the reason.
DocPtr ReadDocument(std::string_view body, std::string& error) {
    if (body.size() > static_cast<size_t>(INT_MAX)) {
        error = "too large";
        return nullptr;
    }
    // No XML_PARSE_NOENT (entities stay unexpanded), no DTD loading, no network.
    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOBLANKS;
    DocPtr doc(xmlReadMemory(body.data(), static_cast<int>(body.size()), "wctp.xml", nullptr, options));
    if (!doc) {
        const xmlError* last = xmlGetLastError();
        error = last && last->message ? last->message : "not well-formed XML";
        while (!error.empty() && (error.back() == '\n' || error.back() == ' '))
            error.pop_back();
        return nullptr;
    }
    const xmlDtd* subset = doc->intSubset;
    if ((subset && (subset->entities || subset->pentities)) || doc->extSubset) {
        error = "it declares entities, which are never read";
        return nullptr;
    }
    return doc;
}

bool Named(const xmlNode* node, const char* name) {
    return node && node->type == XML_ELEMENT_NODE && xmlStrcmp(node->name, X(name)) == 0;
}

const xmlNode* Child(const xmlNode* parent, const char* name) {
    if (!parent) return nullptr;
    for (const xmlNode* node = parent->children; node; node = node->next)
        if (Named(node, name)) return node;
    return nullptr;
}

std::string Attribute(const xmlNode* node, const char* name) {
    if (!node) return std::string();
    xmlChar* value = xmlGetNoNsProp(node, X(name));
    std::string out = value ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return out;
}

std::string Content(const xmlNode* node) {
    if (!node) return std::string();
    xmlChar* value = xmlNodeGetContent(node);
    std::string out = value ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return out;
}

bool ReadCode(const std::string& text, int& code) {
    if (text.empty() || text.size() > 4) return false;
    code = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        code = code * 10 + (c - '0');
    }
    return true;
}

}  // namespace

std::string BuildSubmitRequest(const Submit& submit) {
    xmlBufferPtr buffer = xmlBufferCreate();
    xmlTextWriterPtr writer = buffer ? xmlNewTextWriterMemory(buffer, 0) : nullptr;
    if (!writer) {
        if (buffer) xmlBufferFree(buffer);
        return std::string();
    }
    const auto attribute = [&](const char* name, const std::string& value) {
        xmlTextWriterWriteAttribute(writer, X(name), X(ForXml(value).c_str()));
    };
    xmlTextWriterStartDocument(writer, "1.0", "UTF-8", nullptr);
    xmlTextWriterStartElement(writer, X("wctp-Operation"));
    attribute("wctpVersion", kVersion);
    xmlTextWriterStartElement(writer, X("wctp-SubmitRequest"));
    xmlTextWriterStartElement(writer, X("wctp-SubmitHeader"));
    attribute("submitTimestamp", submit.timestamp);
    xmlTextWriterStartElement(writer, X("wctp-Originator"));
    attribute("senderID", submit.senderId);
    if (!submit.securityCode.empty()) attribute("securityCode", submit.securityCode);
    xmlTextWriterEndElement(writer);
    xmlTextWriterStartElement(writer, X("wctp-MessageControl"));
    attribute("messageID", submit.messageId);
    attribute("allowResponse", "false");
    attribute("notifyWhenQueued", "false");
    attribute("notifyWhenDelivered", "false");
    attribute("notifyWhenRead", "false");
    xmlTextWriterEndElement(writer);
    xmlTextWriterStartElement(writer, X("wctp-Recipient"));
    attribute("recipientID", submit.recipientId);
    xmlTextWriterEndElement(writer);
    xmlTextWriterEndElement(writer);  // SubmitHeader
    xmlTextWriterStartElement(writer, X("wctp-Payload"));
    xmlTextWriterStartElement(writer, X("wctp-Alphanumeric"));
    xmlTextWriterWriteString(writer, X(ForXml(submit.text).c_str()));
    xmlTextWriterEndDocument(writer);  // closes every open element
    xmlFreeTextWriter(writer);
    std::string out(reinterpret_cast<const char*>(xmlBufferContent(buffer)),
                    static_cast<size_t>(xmlBufferLength(buffer)));
    xmlBufferFree(buffer);
    return out;
}

Confirmation ParseConfirmation(std::string_view body) {
    Confirmation result;
    std::string error;
    const DocPtr doc = ReadDocument(body, error);
    if (!doc) {
        result.text = "the carrier's answer is not WCTP: " + error;
        return result;
    }
    const xmlNode* root = xmlDocGetRootElement(doc.get());
    if (!Named(root, "wctp-Operation")) {
        result.text = "the carrier's answer is not a wctp-Operation";
        return result;
    }
    const xmlNode* confirmation = Child(root, "wctp-Confirmation");
    const xmlNode* holder = confirmation ? confirmation : root;
    const xmlNode* success = confirmation ? Child(holder, "wctp-Success") : nullptr;
    const xmlNode* failure = success ? nullptr : Child(holder, "wctp-Failure");
    if (const xmlNode* outcome = success ? success : failure) {
        const char* codeName = success ? "successCode" : "errorCode";
        if (!ReadCode(Attribute(outcome, codeName), result.code)) {
            result.text = std::string("the carrier's ") + reinterpret_cast<const char*>(outcome->name) +
                          " has no " + codeName;
            return result;
        }
        result.kind = success ? Confirmation::kSuccess : Confirmation::kFailure;
        result.text = Attribute(outcome, success ? "successText" : "errorText");
        if (result.text.empty()) result.text = Content(outcome);
        return result;
    }
    result.text = "the carrier's answer is not a wctp-Confirmation";
    return result;
}

ReceivedSubmit ParseSubmitRequest(std::string_view body) {
    ReceivedSubmit result;
    const DocPtr doc = ReadDocument(body, result.error);
    if (!doc) return result;
    const xmlNode* root = xmlDocGetRootElement(doc.get());
    if (!Named(root, "wctp-Operation")) {
        result.error = "not a wctp-Operation";
        return result;
    }
    result.version = Attribute(root, "wctpVersion");
    const xmlNode* request = Child(root, "wctp-SubmitRequest");
    const xmlNode* header = Child(request, "wctp-SubmitHeader");
    const xmlNode* originator = Child(header, "wctp-Originator");
    const xmlNode* control = Child(header, "wctp-MessageControl");
    const xmlNode* recipient = Child(header, "wctp-Recipient");
    const xmlNode* payload = Child(request, "wctp-Payload");
    const xmlNode* text = Child(payload, "wctp-Alphanumeric");
    if (!originator || !control || !recipient || !text) {
        result.error = "not a complete wctp-SubmitRequest";
        return result;
    }
    result.senderId = Attribute(originator, "senderID");
    result.securityCode = Attribute(originator, "securityCode");
    result.messageId = Attribute(control, "messageID");
    result.recipientId = Attribute(recipient, "recipientID");
    result.text = Content(text);
    result.ok = true;
    return result;
}

}  // namespace vorla::wctp
