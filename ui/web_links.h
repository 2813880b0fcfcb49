// The web addresses the program opens, kept in one place.
#pragma once

// The product's page (the "_Website" menu command and the About dialog's first link).
inline constexpr char kProductPageUrl[] = "https://www.quorvane.com/";
// The maker's contact page (the "_Support" menu command).
inline constexpr char kContactPageUrl[] = "https://www.quorvane.com/contact/";
// The maker's support page (the About dialog's second link).
inline constexpr char kSupportPageUrl[] = "https://www.quorvane.com/support/";
// A web search taking its term in q on /search; the term is appended.
inline constexpr char kWebSearchUrl[] = "https://www.bing.com/search?q=";
