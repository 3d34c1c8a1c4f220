# The six games as the launchers and the page show them, in menu order:
# program|title|initial for the icon|icon colour|what the child does|what the game teaches
set(kanae_games
  "Oltar|オルタ文字|あ|#e8704a|名前の最初の文字をえらぶ|ことばの最初の音と文字"
  "Pemble|ペンブル|ペ|#3d5fc4|とびまわる文字をつかまえる|文字の形と音（目と手で追う）"
  "Suvan|スヴァン選び|ス|#2a9d8f|言われた絵のカードをえらぶ|聞いたことばと絵、最初の文字"
  "Dabrel|ダブレル作り|ダ|#e9a23b|名前の文字をならべる|ことばを文字の順に組み立てる"
  "Quoma|クオマ選び|ク|#8e5cc4|絵の名前をえらぶ|たて書きのことばを読む"
  "Vintal|絵ヴィンタ選び|絵|#c4466a|名前の絵をえらぶ|読んだことばの意味（絵）")
