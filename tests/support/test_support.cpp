// Shared test fixtures live beside this file.
namespace ravelo_test_support {}
