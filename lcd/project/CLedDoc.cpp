// page document: filled in below
