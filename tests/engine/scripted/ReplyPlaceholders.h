#pragma once
// The values a scripted reply takes from the request it answers: {SessionID}, {MsgID} and
// {CmdID:Name} / {CmdID:Name:k}, the CmdID of the k-th (from 1) command of that name in the
// request's body, nested ones included ("none" when there is no such command).
#include <string>

namespace orvale::test {

struct XmlNode;

void replaceAll(std::string& s, const std::string& from, const std::string& to);
// `request` may be null (a request libwbxml2 could not read): every placeholder then gives "none".
void fillPlaceholders(std::string& xml, const XmlNode* request);

}  // namespace orvale::test
